#include "cli/scan_outputs.h"

#include "results/csv_export.h"
#include "results/list_to_file.h"
#include "results/text_file.h"

namespace orv {
namespace {

void WriteList(const LineSource& lines, const std::string& path, FileEncoding encoding,
               ScanOutputsResult& result) {
  const TextFileOutcome outcome = WriteTextLines(path, lines, encoding);
  if (outcome.error) result.failed.push_back(path);
  result.unconverted += outcome.unconverted;
}

}  // namespace

ScanOutputsResult WriteScanOutputs(const ResultTables& tables, std::vector<LogLine> log,
                                   const std::string& directory, FileEncoding encoding) {
  struct RawFile {
    ResultTable table;
    const char* name;
  };
  static constexpr RawFile kRawFiles[] = {{ResultTable::kDbResult, "raw-pages.txt"},
                                          {ResultTable::kFuck1, "raw-contacts.txt"},
                                          {ResultTable::kFuck2, "raw-calls.txt"},
                                          {ResultTable::kFuck3, "raw-sms.txt"}};
  ScanOutputsResult result;
  for (const RawFile& raw : kRawFiles)
    WriteList(TableLineSource(tables, raw.table), directory + "/" + raw.name, encoding, result);
  for (const CsvFileResult& csv : ExportPreviewCsvFiles(tables, directory, encoding)) {
    if (csv.error) result.failed.push_back(csv.path);
    result.unconverted += csv.unconverted;
  }
  // The log comes last so that it can tell of the other files' replaced characters.
  if (result.unconverted)
    log.push_back(MakeLogLine("提示", UnconvertedCharactersText(result.unconverted)));
  const ListSnapshot logList = LogSnapshot(log);
  WriteList(ListLineSource(logList), directory + "/activity.log", encoding, result);
  return result;
}

}  // namespace orv
