// orv-scan: scans an image file for the contacts, calls and messages of an
// Android phone, deleted ones included, and writes what it found as files.
//
//   orv-scan IMAGE -o DIR [--encoding gb18030|utf-8] [--layouts spec|learned]
//
// --layouts spec recognises only the fixed layouts of the older Android
// releases, exactly as before; learned (the default) also learns each
// database's own layout from its schema records in the image.

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/scan_outputs.h"
#include "cli/terminal_progress.h"
#include "platform/raw_source.h"
#include "platform/stop_flag.h"
#include "platform/terminal.h"
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
  std::fputs("usage: orv-scan IMAGE -o DIR [--encoding gb18030|utf-8] [--layouts spec|learned]\n",
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

extern "C" void OnInterrupt(int) { orv::RequestStop(); }

// A UTF-8 path as the file-system library takes it on every system.
std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

int main(int argc, char** argv) {
  orv::EnableUtf8Console(stderr);
  Options options;
  if (!ParseOptions(orv::Utf8Arguments(argc, argv), options)) {
    PrintUsage();
    return kExitUsage;
  }
  std::error_code ec;
  std::filesystem::create_directories(PathOf(options.outputDir), ec);
  if (!std::filesystem::is_directory(PathOf(options.outputDir), ec)) {
    std::fprintf(stderr, "orv-scan: cannot create the output folder %s\n",
                 options.outputDir.c_str());
    return kExitWriteFailed;
  }

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  const orv::SizeQuery size = orv::QueryFileSize(options.image);
  orv::TerminalProgress progress(stderr, orv::IsTerminal(stderr), size.ok ? size.bytes : 0);
  orv::ResultTables tables;
  orv::Tscan scan({options.image, orv::ScanKind::kContactsCallsSms, options.layouts}, tables,
                  progress);
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

  const auto failed =
      orv::WriteScanOutputs(tables, progress.logLines(), options.outputDir, options.encoding);
  for (const std::string& path : failed)
    std::fprintf(stderr, "orv-scan: could not write %s\n", path.c_str());
  if (!failed.empty()) return kExitWriteFailed;
  return outcome == orv::ScanOutcome::kStopped ? kExitStopped : 0;
}
