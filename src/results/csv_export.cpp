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

// The list's rows are made and written one at a time.
CsvFileResult WriteList(const SortedEntryList& list, PreviewKind kind, std::string path,
                        FileEncoding encoding) {
  CsvFileResult result{std::move(path), list.size(), {}};
  const std::size_t columnCount = PreviewColumns(kind).size();
  const TextFileOutcome outcome = WriteTextLines(
      result.path,
      [&](const LineSink& sink) {
        std::size_t number = 0;
        list.forEach([&](const ListEntry& entry) {
          sink(ResultCsvLine(PreviewRow(kind, ++number, entry), columnCount, kind));
        });
        return true;
      },
      encoding);
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
    const PreviewEntries entries = AssembleEntries(output.kind, tables);
    const std::string stem = output.stem;
    results.push_back(
        WriteList(entries.normal, output.kind, PathIn(directory, stem + ".csv"), encoding));
    results.push_back(WriteList(entries.deleted, output.kind,
                                PathIn(directory, stem + "-deleted.csv"), encoding));
  }
  return results;
}

}  // namespace orv
