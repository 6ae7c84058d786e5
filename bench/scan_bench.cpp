// Measures the scan against a plain sequential read of the same image held in
// the page cache, and the peak memory of the process.
//
//   scan_bench [--image PATH] [--size BYTES] [--filler storage|mixed]
//
// Without --image it writes a fixture image of --size bytes (default 1 GiB)
// to the temporary folder, reusing one left by an earlier run. Its filler is
// what a used phone storage holds ("storage": zeros, compressed data, text,
// rare page-like bytes) or, to stress the page tests, "mixed": a quarter of
// it bytes that make false page headers everywhere.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/large_image.h"
#include "platform/stop_flag.h"
#include "scan/page_descriptor.h"
#include "scan/scan_texts.h"
#include "scan/tscan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

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

// Notes when the discovery pass ends and the deleted-page pass starts, so
// the passes can be timed apart.
class TimingView : public orv::ScanView {
 public:
  void addLogLine(const orv::LogLine& line) override {
    if (line.description == orv::scan_text::kDeletedPagePass) deletedPassStart = Clock::now();
    if (line.description == orv::scan_text::kStatistics) discoveryEnd = Clock::now();
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
};

}  // namespace

int main(int argc, char** argv) {
  std::string image;
  std::uint64_t size = 1ull << 30;
  std::string filler = "storage";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--image") image = argv[i + 1];
    if (arg == "--size") size = std::strtoull(argv[i + 1], nullptr, 10);
    if (arg == "--filler") filler = argv[i + 1];
  }
  if (image.empty()) {
    image = (std::filesystem::temp_directory_path() /
             ("orv-bench-" + filler + "-" + std::to_string(size) + ".img"))
                .string();
    std::error_code ec;
    if (std::filesystem::file_size(image, ec) != size) {
      std::printf("writing %s (%llu bytes)\n", image.c_str(),
                  static_cast<unsigned long long>(size));
      orv::fixtures::LargeImageOptions options;
      options.sizeBytes = size;
      options.filler = filler == "mixed" ? orv::fixtures::FillerKind::kMixed
                                         : orv::fixtures::FillerKind::kStorage;
      const auto written = orv::fixtures::WriteLargeImage(image, options);
      if (!written.error.empty()) {
        std::fprintf(stderr, "cannot write the image: %s\n", written.error.c_str());
        return 1;
      }
    }
  }

  // Best of three of each, read and scan taking turns, so that a busy
  // machine disturbs both alike.
  SequentialReadSeconds(image);  // bring the image into the page cache
  // The learned layouts (the default) are timed in full; the discovery pass
  // also with the fixed layouts only, to show what learning costs there.
  double readSeconds = 1e9, passes12 = 1e9, total = 1e9;
  double discoverySpec = 1e9, discoveryLearned = 1e9;
  orv::ResultTables tables;
  for (int round = 0; round < 3; ++round) {
    readSeconds = std::min(readSeconds, SequentialReadSeconds(image));
    for (const orv::LayoutMode mode : {orv::LayoutMode::kSpec, orv::LayoutMode::kLearned}) {
      tables.clearAll();
      TimingView view;
      orv::ClearStop();
      const auto start = Clock::now();
      const orv::ScanOutcome outcome =
          orv::Tscan({image, orv::ScanKind::kContactsCallsSms, mode}, tables, view).run();
      const auto end = Clock::now();
      if (outcome != orv::ScanOutcome::kCompleted) {
        std::fprintf(stderr, "the scan did not complete\n");
        return 1;
      }
      const double discovery = Seconds(view.discoveryEnd.value_or(end) - start);
      if (mode == orv::LayoutMode::kSpec) {
        discoverySpec = std::min(discoverySpec, discovery);
        continue;
      }
      discoveryLearned = std::min(discoveryLearned, discovery);
      passes12 = std::min(passes12, Seconds(view.deletedPassStart.value_or(end) - start));
      total = std::min(total, Seconds(end - start));
    }
  }

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double mib = static_cast<double>(std::filesystem::file_size(image)) / (1 << 20);
  std::printf("image                 %s (%.0f MiB)\n", image.c_str(), mib);
  std::printf("sequential read       %.3f s  (%.0f MiB/s)\n", readSeconds, mib / readSeconds);
  std::printf("pass 1, fixed layouts %.3f s\n", discoverySpec);
  std::printf("pass 1, learned       %.3f s  ratio %.2f (target <= 1.10)\n", discoveryLearned,
              discoveryLearned / discoverySpec);
  std::printf("page descriptor       %zu bytes (target <= 32)\n", sizeof(orv::PageDescriptor));
  std::printf("passes 1 and 2        %.3f s  ratio %.2f (target <= 4)\n", passes12,
              passes12 / readSeconds);
  std::printf("whole scan            %.3f s  ratio %.2f (target <= 6)\n", total,
              total / readSeconds);
  std::printf("rows                  pages %zu, contacts %zu, calls %zu, messages %zu\n",
              tables.rowCount(orv::ResultTable::kDbResult),
              tables.rowCount(orv::ResultTable::kFuck1), tables.rowCount(orv::ResultTable::kFuck2),
              tables.rowCount(orv::ResultTable::kFuck3));
  std::printf("peak memory           %.1f MB (target < 100, result tables aside)\n",
              static_cast<double>(usage.ru_maxrss) / 1024);
  return 0;
}
