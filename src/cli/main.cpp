// orv-scan: scans an image file, or a card or stick read raw, for the
// contacts, calls and messages of an Android phone, deleted ones included,
// and writes what it found as files.
//
//   orv-scan SOURCE -o DIR [--encoding gb18030|utf-8] [--layouts spec|learned]
//
// SOURCE is an image file, a whole disk's device node (/dev/sdb,
// /dev/mmcblk0, \\.\PhysicalDrive1) or a USB disk line ("USB  1:...").
// --layouts spec recognises only the fixed layouts of the older Android
// releases, exactly as before; learned (the default) also learns each
// database's own layout from its schema records in the image.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/scan_outputs.h"
#include "cli/terminal_progress.h"
#include "platform/folders.h"
#include "platform/raw_source.h"
#include "platform/stop_flag.h"
#include "platform/terminal.h"
#include "scan/scan_source.h"
#include "scan/tscan.h"

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitScanFailed = 2;
constexpr int kExitWriteFailed = 3;
constexpr int kExitStopped = 130;

struct Options {
  std::string image;
  std::string outputDir;
  orv::FileEncoding encoding = orv::FileEncoding::kGb18030;
  orv::LayoutMode layouts = orv::LayoutMode::kLearned;
};

void PrintUsage() {
  std::fputs(
      "usage: orv-scan SOURCE -o DIR [--encoding gb18030|utf-8] [--layouts spec|learned]\n"
      "  SOURCE: an image file, a disk (/dev/sdb, /dev/mmcblk0) or a disk line \"USB  1:\"\n",
      stderr);
}

bool ParseOptions(const std::vector<std::string>& args, Options& options) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "-o" || arg == "--output") && i + 1 < args.size()) {
      options.outputDir = args[++i];
    } else if (arg == "--encoding" && i + 1 < args.size()) {
      const auto encoding = orv::ParseFileEncoding(args[++i]);
      if (!encoding) return false;
      options.encoding = *encoding;
    } else if (arg == "--layouts" && i + 1 < args.size()) {
      const auto layouts = orv::ParseLayoutMode(args[++i]);
      if (!layouts) return false;
      options.layouts = *layouts;
    } else if (!arg.empty() && arg[0] != '-' && options.image.empty()) {
      options.image = arg;
    } else {
      return false;
    }
  }
  return !options.image.empty() && !options.outputDir.empty();
}

// The length of what `source` names, for the progress figures; 0 when unknown.
std::uint64_t SourceBytes(const orv::ScanSource& source) {
  if (source.diskNumber) {
    for (const orv::DiskInfo& disk : orv::ListChoosableDisks({}))
      if (disk.number == source.diskNumber) return disk.sizeBytes;
    return 0;
  }
  const orv::SizeQuery size = orv::QueryFileSize(source.path);
  return size.ok ? size.bytes : 0;
}

extern "C" void OnInterrupt(int) { orv::RequestStop(); }

}  // namespace

int main(int argc, char** argv) {
  orv::EnableUtf8Console(stderr);
  Options options;
  if (!ParseOptions(orv::Utf8Arguments(argc, argv), options)) {
    PrintUsage();
    return kExitUsage;
  }
  if (orv::CreateFolders(options.outputDir)) {
    std::fprintf(stderr, "orv-scan: cannot create the output folder %s\n",
                 options.outputDir.c_str());
    return kExitWriteFailed;
  }

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  const orv::ScanSource source(options.image);
  orv::TerminalProgress progress(stderr, orv::IsTerminal(stderr), SourceBytes(source));
  orv::ResultTables tables;
  orv::Tscan scan({source, orv::ScanKind::kContactsCallsSms, options.layouts}, tables, progress);
  const orv::ScanOutcome outcome = scan.run();
  progress.finish();
  const orv::ScanSummary& summary = scan.summary();
  if (summary.internalErrors != 0)
    std::fprintf(stderr, "orv-scan: %llu pages were passed over after an internal error\n",
                 static_cast<unsigned long long>(summary.internalErrors));
  if (summary.unreadableBytes != 0) {
    std::string offsets;
    for (const std::uint64_t offset : summary.firstUnreadableOffsets)
      offsets += (offsets.empty() ? "" : ", ") + std::to_string(offset);
    std::fprintf(stderr,
                 "orv-scan: %llu bytes could not be read and were scanned as zeros; "
                 "the first at offsets %s\n",
                 static_cast<unsigned long long>(summary.unreadableBytes), offsets.c_str());
  }

  if (outcome != orv::ScanOutcome::kCompleted && outcome != orv::ScanOutcome::kStopped)
    return kExitScanFailed;  // the scan showed its message

  const orv::ScanOutputsResult written =
      orv::WriteScanOutputs(tables, progress.logLines(), options.outputDir, options.encoding);
  for (const std::string& path : written.failed)
    std::fprintf(stderr, "orv-scan: could not write %s\n", path.c_str());
  if (written.unconverted)
    std::fprintf(stderr,
                 "orv-scan: %zu characters could not be written in GB18030 and were written as "
                 "\"%c\" (--encoding utf-8 keeps them)\n",
                 written.unconverted, orv::kUnconvertedMark);
  if (!written.failed.empty()) return kExitWriteFailed;
  return outcome == orv::ScanOutcome::kStopped ? kExitStopped : 0;
}
