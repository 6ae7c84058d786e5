#include "cli/scan_outputs.h"

#include "results/csv_export.h"
#include "results/list_to_file.h"
#include "results/text_file.h"

namespace orv {
namespace {

void WriteList(const ListSnapshot& list, const std::string& path, FileEncoding encoding,
               std::vector<std::string>& failed) {
  const auto lines = ListLines(list);
  if (!lines || WriteTextLines(path, *lines, encoding)) failed.push_back(path);
}

}  // namespace

std::vector<std::string> WriteScanOutputs(const ResultTables& tables,
                                          const std::vector<LogLine>& log,
                                          const std::string& directory, FileEncoding encoding) {
  struct RawFile {
    ResultTable table;
    const char* name;
  };
  static constexpr RawFile kRawFiles[] = {{ResultTable::kDbResult, "raw-pages.txt"},
                                          {ResultTable::kFuck1, "raw-contacts.txt"},
                                          {ResultTable::kFuck2, "raw-calls.txt"},
                                          {ResultTable::kFuck3, "raw-sms.txt"}};
  std::vector<std::string> failed;
  for (const RawFile& raw : kRawFiles)
    WriteList(TableSnapshot(tables, raw.table), directory + "/" + raw.name, encoding, failed);
  WriteList(LogSnapshot(log), directory + "/activity.log", encoding, failed);
  for (const CsvFileResult& csv : ExportPreviewCsvFiles(tables, directory, encoding))
    if (csv.error) failed.push_back(csv.path);
  return failed;
}

}  // namespace orv
