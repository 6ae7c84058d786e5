#include "results/csv_export.h"

#include "results/csv_lines.h"
#include "results/record_assembly.h"
#include "results/text_file.h"

namespace orv {
namespace {

std::string PathIn(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

CsvFileResult WriteList(const ListSnapshot& list, PreviewKind kind, std::string path,
                        FileEncoding encoding) {
  CsvFileResult result{std::move(path), list.rows.size(), {}};
  const auto lines = ResultCsvLines(list, kind);
  if (!lines) {
    result.error = std::make_error_code(std::errc::invalid_argument);
    return result;
  }
  const TextFileOutcome outcome = WriteTextLines(result.path, *lines, encoding);
  result.error = outcome.error;
  result.unconverted = outcome.unconverted;
  return result;
}

}  // namespace

std::vector<CsvFileResult> ExportPreviewCsvFiles(const ResultTables& tables,
                                                 const std::string& directory,
                                                 FileEncoding encoding) {
  struct Output {
    PreviewKind kind;
    const char* stem;
  };
  static constexpr Output kOutputs[] = {{PreviewKind::kContacts, "contacts"},
                                        {PreviewKind::kCalls, "calls"},
                                        {PreviewKind::kMessages, "sms"}};
  std::vector<CsvFileResult> results;
  for (const Output& output : kOutputs) {
    const PreviewLists lists = BuildPreviewLists(output.kind, tables);
    const std::string stem = output.stem;
    results.push_back(
        WriteList(lists.normal, output.kind, PathIn(directory, stem + ".csv"), encoding));
    results.push_back(
        WriteList(lists.deleted, output.kind, PathIn(directory, stem + "-deleted.csv"), encoding));
  }
  return results;
}

}  // namespace orv
