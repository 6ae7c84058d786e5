#include "scan/carved_rows.h"

#include <string_view>

#include "scan/record_tests.h"
#include "scan/result_tables.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

constexpr std::string_view kDeletedMark = "DEL";

// A column's value, or empty when the record is shorter.
std::string_view ValueAt(const DecodedRecord& record, std::size_t column) {
  return column < record.values.size() ? std::string_view(record.values[column])
                                       : std::string_view();
}

bool IsMissing(std::string_view value) { return value == kNullValue || value == kNoUserValue; }

bool IsCarvedPhoneNumber(std::string_view value) {
  return !IsMissing(value) && IsPhoneNumber(value);
}

std::string RenderedDate(std::string_view value) { return FormatRecordDate(value).value_or(""); }

RowCells EmptyRow(ResultTable table) { return RowCells(ResultTableColumns(table).size() - 1); }

// Cells exclude SN, so a column's cell is one place before its index.
std::string& Cell(RowCells& cells, int column) { return cells[column - 1]; }

}  // namespace

bool PassesCallPretest(const DecodedRecord& record) {
  return IsCarvedPhoneNumber(ValueAt(record, 1)) && IsRecordDate(ValueAt(record, 2));
}

RowCells BuildCallRow(const DecodedRecord& record, const std::string& dbResultSn) {
  RowCells cells = EmptyRow(ResultTable::kFuck2);
  Cell(cells, fuck2::kId) = ValueAt(record, 0);
  Cell(cells, fuck2::kTel1) = ValueAt(record, 1);
  Cell(cells, fuck2::kData) = RenderedDate(ValueAt(record, 2));
  Cell(cells, fuck2::kDuration) = ValueAt(record, 3);
  Cell(cells, fuck2::kType) = ValueAt(record, 4);
  if (const auto name = record.firstTextColumn(5); name && record.values[*name] != "CN") {
    Cell(cells, fuck2::kName) = record.values[*name];
  }
  Cell(cells, fuck2::kDel) = kDeletedMark;
  Cell(cells, fuck2::kFlag) = "Call";
  Cell(cells, fuck2::kDbResultNum) = dbResultSn;
  return cells;
}

bool PassesMessagePretest(const DecodedRecord& record, std::size_t dateColumn) {
  return IsCarvedPhoneNumber(ValueAt(record, 2)) && IsRecordDate(ValueAt(record, dateColumn));
}

std::optional<RowCells> BuildMessageRow(const DecodedRecord& record, std::size_t dateColumn,
                                        const std::string& dbResultSn) {
  const std::size_t count = record.columnCount();
  if (count <= dateColumn || !IsCarvedPhoneNumber(ValueAt(record, 2))) return std::nullopt;
  RowCells cells = EmptyRow(ResultTable::kFuck3);
  // The status column holds -1 ("none") on nearly every message; the type follows it.
  for (std::size_t column = 3; column + 1 < count; ++column) {
    if (record.values[column] == "-1") {
      Cell(cells, fuck3::kSmsType) = record.values[column + 1];
      break;
    }
  }
  bool bodyFound = false;
  for (std::size_t column = 3; column < count && !bodyFound; ++column) {
    const std::string& value = record.values[column];
    if (column == dateColumn) {
      if (!IsRecordDate(value)) return std::nullopt;
      Cell(cells, fuck3::kData) = RenderedDate(value);
    }
    if (record.labels[column] == 'T' && !value.empty()) {
      Cell(cells, fuck3::kBody) = value;
      bodyFound = true;
    }
  }
  if (!bodyFound && dateColumn != count - 1) return std::nullopt;
  Cell(cells, fuck3::kId) = ValueAt(record, 0);
  Cell(cells, fuck3::kTel1) = ValueAt(record, 2);
  Cell(cells, fuck3::kDel) = kDeletedMark;
  Cell(cells, fuck3::kFlag) = "Sms";
  Cell(cells, fuck3::kDbResultNum) = dbResultSn;
  return cells;
}

bool PassesDataPretest(const DecodedRecord& record) {
  const std::string_view mimetype = ValueAt(record, 2);
  const std::string_view rawContact = ValueAt(record, 3);
  bool mimetypeOk = mimetype == kNoUserValue;
  if (!mimetypeOk && IsAllDigits(mimetype)) {
    const auto id = ParseInt64(mimetype);
    mimetypeOk = id && *id >= 1 && *id <= kMaxMimetypeId;
  }
  const bool rawContactOk =
      rawContact == kNoUserValue || rawContact.empty() || IsAllDigits(rawContact);
  return mimetypeOk && rawContactOk;
}

std::optional<RowCells> BuildDataRow(const DecodedRecord& record, const std::string& dbResultSn) {
  if (record.columnCount() < 4 || record.values[2] == "4") return std::nullopt;
  const auto data1 = record.firstTextColumn(4);
  if (!data1) return std::nullopt;
  const std::string& text = record.values[*data1];
  const char* flag = IsPhoneNumber(text) ? "Tel" : IsPersonName(text) ? "Name" : nullptr;
  if (!flag) return std::nullopt;

  RowCells cells = EmptyRow(ResultTable::kFuck1);
  Cell(cells, fuck1::kId) = record.values[0];
  // The constant types 8 and 9 carry no value; such ids are read as 1.
  Cell(cells, fuck1::kMimetypeId) = record.labels[2] == '8' ? "1" : record.values[2];
  Cell(cells, fuck1::kRawContactId) =
      record.values[3] == kNoUserValue ? std::string("1") : record.values[3];
  Cell(cells, fuck1::kData1) = text;
  Cell(cells, fuck1::kFlag) = flag;
  Cell(cells, fuck1::kDataResultNum) = dbResultSn;
  Cell(cells, fuck1::kDel) = kDeletedMark;
  return cells;
}

}  // namespace orv
