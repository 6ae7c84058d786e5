// Measures the scan against a plain sequential read of the same image held in
// the page cache: the whole scan and each pass, the peak memory of the scan
// and the rows found per second, for several kinds of image. Run
// `scan_bench --help` for the options.
//
// Each image is scanned in a child process of its own, so that its peak
// memory is its own; images are written by another child and kept in the
// temporary folder for later runs.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/app_databases_image.h"
#include "fixtures/large_image.h"
#include "fixtures/stress_images.h"
#include "platform/stop_flag.h"
#include "scan/page_descriptor.h"
#include "scan/scan_texts.h"
#include "scan/tscan.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kMiB = 1 << 20;
constexpr double kGiB = 1 << 30;

constexpr const char* kUsage = R"(usage: scan_bench [options]

Times the scan of generated raw images against one sequential read of the
same image (in the same run, from the page cache), pass by pass, with the
peak memory of each image's scan and the rows found per second.

  --kind KIND         the image to scan (default storage):
                        storage     storage-like filler (zeros, compressed data, text)
                                    with copies of the phone's databases; 1G
                        mixed       the same with a quarter of page-like bytes; 1G
                        app         other apps' SQLite databases (random schemas,
                                    indexes, deletes, 1 KiB pages) and one copy of
                                    the phone's databases; 256M
                        hostile     the phone's databases, then an index-leaf page
                                    header every 512 bytes over anchor-like bytes; 8M
                        sms-copies  copies of one SMS leaf page: about a million
                                    result rows (the memory test); 100M
                        all         each kind above in turn, at its default size
  --size BYTES        image size instead of the kind's default (suffix K, M or G)
  --image PATH        scan this file instead of a generated image (with the
                      targets of --kind)
  --write-image PATH  write the kind's image to PATH and exit without scanning
  --rounds N          scans of each image, the best one counts (default 3)
  --threads N         threads of the discovery pass (default: 2 where the machine
                      has two processors, else 1)
  --judging WHEN      which blocks the discovery pass judges for the deleted-page
                      pass: while-waiting (default: only while it waits for the
                      source), every, or none (every such block is read again)
  --help              print this text and exit

Generated images are kept as orv-bench-KIND-SIZE.img in the temporary folder.
)";

// The figures an image kind is meant to reach; 0 where it has none.
struct Targets {
  double scanToRead = 0;     // whole scan / one sequential read
  double secondsPerGiB = 0;  // whole scan, per GiB of image
  double peakMB = 0;         // peak memory of the scan
};

struct ImageKind {
  std::string_view name;
  std::uint64_t defaultSize;
  Targets targets;
  std::function<orv::fixtures::LargeImage(const std::string&, std::uint64_t)> write;
};

orv::fixtures::LargeImage WriteFillerImage(const std::string& path, std::uint64_t size,
                                           orv::fixtures::FillerKind filler) {
  orv::fixtures::LargeImageOptions options;
  options.sizeBytes = size;
  options.filler = filler;
  return orv::fixtures::WriteLargeImage(path, options);
}

const std::vector<ImageKind>& Kinds() {
  using orv::fixtures::FillerKind;
  static const std::vector<ImageKind> kinds = {
      {"storage",
       1ull << 30,
       {2, 0, 100},
       [](const std::string& path, std::uint64_t size) {
         return WriteFillerImage(path, size, FillerKind::kStorage);
       }},
      {"mixed",
       1ull << 30,
       {0, 0, 100},
       [](const std::string& path, std::uint64_t size) {
         return WriteFillerImage(path, size, FillerKind::kMixed);
       }},
      {"app",
       256ull << 20,
       {3, 0, 100},
       [](const std::string& path, std::uint64_t size) {
         return orv::fixtures::WriteAppDatabasesImage(path, {size, 1});
       }},
      {"hostile",
       8ull << 20,
       {0, 30, 100},
       [](const std::string& path, std::uint64_t size) {
         return orv::fixtures::WriteHostileImage(path, size);
       }},
      {"sms-copies",
       100ull << 20,
       {0, 0, 250},
       [](const std::string& path, std::uint64_t size) {
         return orv::fixtures::WriteSmsCopiesImage(path, size);
       }},
  };
  return kinds;
}

const ImageKind* FindKind(std::string_view name) {
  for (const ImageKind& kind : Kinds())
    if (kind.name == name) return &kind;
  return nullptr;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// "256M" -> 268435456; nullopt when the text is not a size.
std::optional<std::uint64_t> ParseSize(const std::string& text) {
  char* end = nullptr;
  const std::uint64_t number = std::strtoull(text.c_str(), &end, 10);
  if (end == text.c_str()) return std::nullopt;
  const std::string_view suffix(end);
  if (suffix.empty()) return number;
  if (suffix == "K") return number << 10;
  if (suffix == "M") return number << 20;
  if (suffix == "G") return number << 30;
  return std::nullopt;
}

// Runs `work` in a child process and returns its exit status (1 when it
// could not be run or did not exit normally).
int RunInChild(const std::function<int()>& work) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    const int status = work();
    std::fflush(nullptr);
    _exit(status);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 1;
  return WEXITSTATUS(status);
}

// The time of one read of the whole file in 1 MiB pieces, as
// `dd if=IMAGE of=/dev/null bs=1M` does.
double SequentialReadSeconds(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return -1;
  std::vector<char> piece(1 << 20);
  const auto start = Clock::now();
  while (::read(fd, piece.data(), piece.size()) > 0) {
  }
  const double seconds = Seconds(Clock::now() - start);
  ::close(fd);
  return seconds;
}

// Notes when each pass starts from the log lines, so the passes can be
// timed apart; with `stopAfterDiscovery` it stops the scan there.
class TimingView : public orv::ScanView {
 public:
  explicit TimingView(bool stopAfterDiscovery) : stopAfterDiscovery_(stopAfterDiscovery) {}

  void addLogLine(const orv::LogLine& line) override {
    if (line.description == orv::scan_text::kDeletedPagePass) deletedPassStart = Clock::now();
    if (line.description == orv::scan_text::kStatistics) {
      discoveryEnd = Clock::now();
      if (stopAfterDiscovery_) orv::RequestStop();
    }
  }
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int, const std::string&) override {}
  void showMessage(const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }
  void setScanButtonsEnabled(bool) override {}

  std::optional<Clock::time_point> deletedPassStart;
  std::optional<Clock::time_point> discoveryEnd;

 private:
  bool stopAfterDiscovery_;
};

// How the scans run.
struct ScanChoices {
  unsigned threads = 0;  // the scan's default
  orv::BlockJudging judging = orv::BlockJudging::kWhileWaiting;
};

struct ScanTimes {
  double pass1 = 0, pass2 = 0, pass3 = 0, whole = 1e30;
};

// One scan of `image`; nullopt when it did not complete. With the fixed
// layouts only the discovery pass runs, which is all that is compared.
std::optional<ScanTimes> TimeScan(const std::string& image, orv::LayoutMode mode,
                                  const ScanChoices& choices, orv::ResultTables& tables) {
  tables.clearAll();
  const bool discoveryOnly = mode == orv::LayoutMode::kSpec;
  TimingView view(discoveryOnly);
  orv::ClearStop();
  const auto start = Clock::now();
  orv::ScanSettings settings{image, orv::ScanKind::kContactsCallsSms, mode};
  settings.discoveryThreads = choices.threads;
  settings.blockJudging = choices.judging;
  const orv::ScanOutcome outcome = orv::Tscan(settings, tables, view).run();
  const auto end = Clock::now();
  orv::ClearStop();
  const bool stoppedAsAsked = discoveryOnly && outcome == orv::ScanOutcome::kStopped;
  if (outcome != orv::ScanOutcome::kCompleted && !stoppedAsAsked) return std::nullopt;
  const auto pass2Start = view.discoveryEnd.value_or(end);
  const auto pass3Start = view.deletedPassStart.value_or(end);
  return ScanTimes{Seconds(pass2Start - start), Seconds(pass3Start - pass2Start),
                   Seconds(end - pass3Start), Seconds(end - start)};
}

std::string Target(double target, const char* format) {
  if (target <= 0) return "";
  char text[64];
  std::snprintf(text, sizeof text, format, target);
  return text;
}

// Scans `image` `rounds` times, reads and scans taking turns so that a busy
// machine disturbs both alike, and prints the best figures.
int MeasureImage(const std::string& image, const Targets& targets, int rounds,
                 const ScanChoices& choices) {
  SequentialReadSeconds(image);  // bring the image into the page cache
  double readSeconds = 1e30, discoverySpec = 1e30;
  ScanTimes best;
  orv::ResultTables tables;
  for (int round = 0; round < rounds; ++round) {
    readSeconds = std::min(readSeconds, SequentialReadSeconds(image));
    const auto spec = TimeScan(image, orv::LayoutMode::kSpec, choices, tables);
    const auto learned = TimeScan(image, orv::LayoutMode::kLearned, choices, tables);
    if (!spec || !learned) {
      std::fprintf(stderr, "the scan did not complete\n");
      return 1;
    }
    discoverySpec = std::min(discoverySpec, spec->pass1);
    if (learned->whole < best.whole) best = *learned;
  }

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double bytes = static_cast<double>(std::filesystem::file_size(image));
  const std::size_t resultRows = tables.rowCount(orv::ResultTable::kFuck1) +
                                 tables.rowCount(orv::ResultTable::kFuck2) +
                                 tables.rowCount(orv::ResultTable::kFuck3);
  const double peakMB = static_cast<double>(usage.ru_maxrss) / 1024;
  std::printf("image                 %s (%.0f MiB)\n", image.c_str(), bytes / kMiB);
  std::printf("sequential read       %8.3f s  (%.0f MiB/s)\n", readSeconds,
              bytes / kMiB / readSeconds);
  std::printf("pass 1, fixed layouts %8.3f s\n", discoverySpec);
  std::printf("pass 1, learned       %8.3f s  learned/fixed %.2f (target <= 1.10)\n", best.pass1,
              best.pass1 / discoverySpec);
  std::printf("page descriptor       %zu bytes (target <= 32)\n", sizeof(orv::PageDescriptor));
  std::printf("pass 1                %8.3f s  scan/read %.2f\n", best.pass1,
              best.pass1 / readSeconds);
  std::printf("pass 2                %8.3f s  scan/read %.2f\n", best.pass2,
              best.pass2 / readSeconds);
  std::printf("pass 3                %8.3f s  scan/read %.2f\n", best.pass3,
              best.pass3 / readSeconds);
  std::printf("whole scan            %8.3f s  scan/read %.2f%s, %.1f s per GiB%s\n", best.whole,
              best.whole / readSeconds, Target(targets.scanToRead, " (target <= %.0f)").c_str(),
              best.whole / (bytes / kGiB),
              Target(targets.secondsPerGiB, " (target <= %.0f)").c_str());
  std::printf("rows                  pages %zu, contacts %zu, calls %zu, messages %zu\n",
              tables.rowCount(orv::ResultTable::kDbResult),
              tables.rowCount(orv::ResultTable::kFuck1), tables.rowCount(orv::ResultTable::kFuck2),
              tables.rowCount(orv::ResultTable::kFuck3));
  std::printf("result rows           %zu, %.0f rows per second\n", resultRows,
              static_cast<double>(resultRows) / best.whole);
  std::printf("peak memory           %.1f MB%s\n", peakMB,
              Target(targets.peakMB, " (target <= %.0f, flat in the image size)").c_str());
  return 0;
}

int WriteImage(const ImageKind& kind, const std::string& path, std::uint64_t size) {
  return RunInChild([&] {
    const auto written = kind.write(path, size);
    if (!written.error.empty()) {
      std::fprintf(stderr, "cannot write the image: %s\n", written.error.c_str());
      return 1;
    }
    return 0;
  });
}

// The generated image of `kind`, written unless an earlier run left it.
std::optional<std::string> CachedImage(const ImageKind& kind, std::uint64_t size) {
  const std::string path =
      (std::filesystem::temp_directory_path() /
       ("orv-bench-" + std::string(kind.name) + "-" + std::to_string(size) + ".img"))
          .string();
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == size) return path;
  std::printf("writing %s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(size));
  if (WriteImage(kind, path, size) != 0) return std::nullopt;
  return path;
}

struct Options {
  std::string kind = "storage";
  std::optional<std::uint64_t> size;
  std::string image;
  std::string writeImage;
  int rounds = 3;
  ScanChoices scan;
  bool help = false;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (i + 1 >= argc) return std::nullopt;
    const std::string value = argv[++i];
    if (arg == "--kind") {
      options.kind = value;
    } else if (arg == "--size") {
      options.size = ParseSize(value);
      if (!options.size) return std::nullopt;
    } else if (arg == "--image") {
      options.image = value;
    } else if (arg == "--write-image") {
      options.writeImage = value;
    } else if (arg == "--rounds") {
      options.rounds = std::atoi(value.c_str());
      if (options.rounds < 1) return std::nullopt;
    } else if (arg == "--threads") {
      const int threads = std::atoi(value.c_str());
      if (threads < 1) return std::nullopt;
      options.scan.threads = static_cast<unsigned>(threads);
    } else if (arg == "--judging") {
      if (value == "while-waiting")
        options.scan.judging = orv::BlockJudging::kWhileWaiting;
      else if (value == "every")
        options.scan.judging = orv::BlockJudging::kEvery;
      else if (value == "none")
        options.scan.judging = orv::BlockJudging::kNone;
      else
        return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (options.kind != "all" && !FindKind(options.kind)) return std::nullopt;
  if (!options.writeImage.empty() && options.kind == "all") return std::nullopt;
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = ParseOptions(argc, argv);
  if (!options || options->help) {
    std::fputs(kUsage, options ? stdout : stderr);
    return options ? 0 : 2;
  }
  std::vector<const ImageKind*> kinds;
  for (const ImageKind& kind : Kinds())
    if (options->kind == "all" || kind.name == options->kind) kinds.push_back(&kind);

  if (!options->writeImage.empty()) {
    const ImageKind& kind = *kinds.front();
    return WriteImage(kind, options->writeImage, options->size.value_or(kind.defaultSize));
  }
  if (!options->image.empty()) {
    const Targets targets = kinds.size() == 1 ? kinds.front()->targets : Targets{};
    return RunInChild(
        [&] { return MeasureImage(options->image, targets, options->rounds, options->scan); });
  }
  int status = 0;
  for (const ImageKind* kind : kinds) {
    std::printf("== %s\n", std::string(kind->name).c_str());
    const auto image = CachedImage(*kind, options->size.value_or(kind->defaultSize));
    const int measured = image ? RunInChild([&] {
      return MeasureImage(*image, kind->targets, options->rounds, options->scan);
    })
                               : 1;
    if (measured != 0) status = 1;
  }
  return status;
}
