#include "results/csv_lines.h"

namespace orv {
namespace {

// The message text's cell in a messages list row: 编号, 发送/接收, 日期,
// 电话号码, 短信内容.
constexpr std::size_t kMessageTextCell = 4;

}  // namespace

std::string CleanMessageText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ',') {
      out += "，";
    } else if (c != '\r' && c != '\n') {
      out += c;
    }
  }
  return out;
}

std::string ResultCsvLine(const ListRow& row, std::size_t columnCount, PreviewKind kind) {
  std::string line;
  for (std::size_t cell = 0; cell < columnCount; ++cell) {
    const bool clean = kind == PreviewKind::kMessages && cell == kMessageTextCell;
    line += clean ? CleanMessageText(row[cell]) : row[cell];
    line += ',';
  }
  return line;
}

std::optional<std::vector<std::string>> ResultCsvLines(const ListSnapshot& list, PreviewKind kind,
                                                       const RowProgress& progress) {
  std::vector<std::string> lines;
  lines.reserve(list.rows.size());
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (progress) progress(i);
    const ListRow& row = list.rows[i];
    if (row.size() < list.columnCount) return std::nullopt;
    lines.push_back(ResultCsvLine(row, list.columnCount, kind));
  }
  return lines;
}

}  // namespace orv
