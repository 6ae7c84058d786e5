#pragma once
// Writing a list as text, one line per row with its cells joined by "^": the
// activity log export and the raw-results export.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/log_line.h"
#include "platform/text_codec.h"
#include "results/list_snapshot.h"
#include "results/result_views.h"
#include "results/text_file.h"
#include "scan/result_tables.h"

namespace orv {

// Appended to the file name the user chose for a raw-results export.
inline constexpr std::string_view kRawExportSuffix = "NQT-ORV Lab.log";

// One line per row: the caption, then "^" and the sub-item for each further
// column. Fails when a row lacks a cell for one of the columns.
LineSource ListLineSource(const ListSnapshot& list);
// ListLineSource's lines at once; empty when it fails.
std::optional<std::vector<std::string>> ListLines(const ListSnapshot& list);
// The lines of a raw result table in the same form, read from the table a
// batch of rows at a time. Fails when the table is cleared, sorted or loses
// rows while it is read.
LineSource TableLineSource(const ResultTables& tables, ResultTable table);

// Writes `lines` to `fileName` (lines ended by CR LF, replaced all at once).
// On failure shows "LV转换日志文件出错!" and returns false; the file is then
// as it was.
bool ListToFile(const LineSource& lines, const std::string& fileName, FileEncoding encoding,
                MessageView& view);

// Saves the activity log ("保存日志").
class Tlvtofile_2 {
 public:
  Tlvtofile_2(std::vector<LogLine> lines, std::string fileName, FileEncoding encoding,
              MessageView& view);
  // Runs on the calling thread; ends with "成功保存日志文件!" or
  // "保存日志文件失败！". True when the file was written.
  bool run();

 private:
  std::vector<LogLine> lines_;
  std::string fileName_;
  FileEncoding encoding_;
  MessageView& view_;
};

// Exports one raw result table to `fileName` + "NQT-ORV Lab.log".
class Tlvtofile {
 public:
  // `tables` and `view` must outlive the worker.
  Tlvtofile(const ResultTables& tables, ResultTable table, std::string fileName,
            FileEncoding encoding, MessageView& view);
  // Runs on the calling thread, reading the table then; ends with "成功保存！"
  // or "保存失败，程序将退出!". True when the file was written.
  bool run();

 private:
  const ResultTables& tables_;
  ResultTable table_;
  std::string fileName_;
  FileEncoding encoding_;
  MessageView& view_;
};

}  // namespace orv
