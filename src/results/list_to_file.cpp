#include "results/list_to_file.h"

#include "results/text_file.h"

namespace orv {

namespace {

std::string CaretLine(const RowView& row, std::size_t columnCount) {
  std::string line(row[0]);
  for (std::size_t cell = 1; cell < columnCount; ++cell) {
    line += '^';
    line += row[cell];
  }
  return line;
}

}  // namespace

LineSource ListLineSource(const ListSnapshot& list) {
  return [&list](const LineSink& sink) {
    for (const ListRow& row : list.rows) {
      if (row.empty() || row.size() < list.columnCount) return false;
      sink(CaretLine(row, list.columnCount));
    }
    return true;
  };
}

std::optional<std::vector<std::string>> ListLines(const ListSnapshot& list) {
  std::vector<std::string> lines;
  lines.reserve(list.rows.size());
  if (!ListLineSource(list)([&](std::string_view line) { lines.emplace_back(line); }))
    return std::nullopt;
  return lines;
}

LineSource TableLineSource(const ResultTables& tables, ResultTable table) {
  return [&tables, table](const LineSink& sink) {
    const std::size_t columnCount = ResultTableColumns(table).size();
    return tables.forEachRow(table, [&](const RowView& row) {
      sink(CaretLine(row, columnCount));
      return true;
    });
  };
}

bool ListToFile(const LineSource& lines, const std::string& fileName, FileEncoding encoding,
                MessageView& view) {
  if (!WriteTextLines(fileName, lines, encoding).error) return true;
  view.showMessage({"LV转换日志文件出错!", "转换出错", MessageIcon::kWarning});
  return false;
}

Tlvtofile_2::Tlvtofile_2(std::vector<LogLine> lines, std::string fileName, FileEncoding encoding,
                         MessageView& view)
    : lines_(std::move(lines)), fileName_(std::move(fileName)), encoding_(encoding), view_(view) {}

bool Tlvtofile_2::run() {
  const ListSnapshot log = LogSnapshot(lines_);
  const bool written = ListToFile(ListLineSource(log), fileName_, encoding_, view_);
  if (written) {
    view_.showMessage({"成功保存日志文件!"});
  } else {
    view_.showMessage(
        {"保存日志文件失败！", "提示", MessageIcon::kWarning, MessageButtons::kYesNo});
  }
  return written;
}

Tlvtofile::Tlvtofile(const ResultTables& tables, ResultTable table, std::string fileName,
                     FileEncoding encoding, MessageView& view)
    : tables_(tables),
      table_(table),
      fileName_(std::move(fileName)),
      encoding_(encoding),
      view_(view) {}

bool Tlvtofile::run() {
  const bool written = ListToFile(TableLineSource(tables_, table_),
                                  fileName_ + std::string(kRawExportSuffix), encoding_, view_);
  if (written) {
    view_.showMessage({"成功保存！", "成功"});
  } else {
    view_.showMessage(
        {"保存失败，程序将退出!", "保存失败", MessageIcon::kWarning, MessageButtons::kYesNo});
  }
  return written;
}

}  // namespace orv
