#pragma once
// The scan driver: walks a raw source, finds the table leaf pages of the
// phone's SQLite databases, decodes and carves their records into the result
// tables, and reports progress to a ScanView.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk_list.h"
#include "platform/raw_source.h"
#include "scan/block_judging.h"
#include "scan/result_tables.h"
#include "scan/scan_source.h"
#include "scan/scan_view.h"

namespace orv {

// The kinds of data the scan page offers. Only contacts, calls and messages
// are recognised and carved; notes and the two chat apps are offered but
// produce no rows: a scan of those kinds walks the source and ends with
// empty tables.
enum class ScanKind { kContactsCallsSms, kNotes, kQqChats, kWeChatChats };
constexpr bool ProducesRows(ScanKind kind) { return kind == ScanKind::kContactsCallsSms; }

// How pages are recognised. kSpec: the fixed column patterns of the older
// Android releases only, with their output byte for byte. kLearned: the same,
// plus the layouts each database in the image declares in its own schema
// records (or built-in profiles of known releases when none survived), so
// newer releases and vendor layouts are recovered too.
enum class LayoutMode { kSpec, kLearned };

struct ScanSettings {
  ScanSource source;  // an image file or a disk
  ScanKind kind = ScanKind::kContactsCallsSms;
  LayoutMode layouts = LayoutMode::kLearned;
  DiskPlaces diskPlaces = {};  // where a disk named by number is looked up
  // Threads of the discovery pass; 0: two where the machine has two
  // processors, else one. The results are the same for every count.
  unsigned discoveryThreads = 0;
  // Which blocks the discovery pass judges for the deleted-page pass.
  BlockJudging blockJudging = BlockJudging::kWhileWaiting;
};

// "spec" and "learned", as the command line takes them.
std::optional<LayoutMode> ParseLayoutMode(std::string_view text);

enum class ScanOutcome {
  kCompleted,
  kStopped,      // the stop flag was seen
  kSizeUnknown,  // "获取文件长度失败，程序将退出请和客服人员联系！"
  kOpenFailed,   // "打开文件句柄出错，程序将退出请和客服人员联系！"
  kTooShort,     // "所要扫描的存储或者文件长度小于65536字节,程序将退出!"
};

// What a scan could not do, for a closing summary.
struct ScanSummary {
  std::uint64_t unreadableBytes = 0;                  // zero in the results
  std::vector<std::uint64_t> firstUnreadableOffsets;  // the first few, ascending
  // Exceptions out of a page's decoding: bugs of ours, each logged with the
  // page's offset and passed over (builds made to find bugs stop instead).
  std::uint64_t internalErrors = 0;
};

class Tscan {
 public:
  // Scans what `settings.source` names, or `source` when one is given.
  Tscan(ScanSettings settings, ResultTables& tables, ScanView& view,
        std::unique_ptr<RawSource> source = nullptr);
  // Runs the whole scan on the calling thread (the worker's thread).
  ScanOutcome run();
  // Filled by run().
  const ScanSummary& summary() const { return summary_; }

 private:
  ScanSettings settings_;
  ResultTables& tables_;
  ScanView& view_;
  std::unique_ptr<RawSource> source_;
  ScanSummary summary_;
};

}  // namespace orv
