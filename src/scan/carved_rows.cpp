#include "scan/carved_rows.h"

#include <string_view>

#include "platform/text_codec.h"
#include "scan/record_tests.h"
#include "scan/result_tables.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

// A column's value, or empty when the record is shorter.
std::string_view ValueAt(const DecodedRecord& record, std::size_t column) {
  return column < record.values.size() ? std::string_view(record.values[column])
                                       : std::string_view();
}

bool IsMissing(std::string_view value) { return value == kNullValue || value == kNoUserValue; }

// A phone number has at most 24 characters, each at most four bytes long.
constexpr std::size_t kLongestPhoneNumberBytes = 24 * 4;

// `value` may be raw text bytes: bytes that are not UTF-8 read as the empty
// text, which is no phone number.
bool IsCarvedPhoneNumber(std::string_view value) {
  return value.size() <= kLongestPhoneNumberBytes && !IsMissing(value) && IsValidUtf8(value) &&
         IsPhoneNumber(value);
}

// Digits and "NoUser" are UTF-8: raw text bytes that are not fail these
// tests as their empty value would, but for raw_contact_id, where the empty
// value passes.
bool IsCarvedMimetypeId(std::string_view value) {
  if (value == kNoUserValue) return true;
  if (!IsAllDigits(value)) return false;
  const auto id = ParseInt64(value);
  return id && *id >= 1 && *id <= kMaxMimetypeId;
}

bool IsCarvedRawContactId(std::string_view value) {
  return value == kNoUserValue || value.empty() || IsAllDigits(value) || !IsValidUtf8(value);
}

std::string RenderedDate(std::string_view value) { return FormatRecordDate(value).value_or(""); }

RowCells EmptyRow(ResultTable table) { return RowCells(ResultTableColumns(table).size() - 1); }

// Cells exclude SN, so a column's cell is one place before its index.
std::string& Cell(RowCells& cells, int column) { return cells[column - 1]; }

}  // namespace

bool Passes(const Pretest& pretest, const DecodedRecord& record) {
  return pretest.first(ValueAt(record, pretest.firstColumn)) &&
         pretest.second(ValueAt(record, pretest.secondColumn));
}

// A date is digits, so raw text bytes that are not UTF-8 fail its test as
// their empty value does.
Pretest CallPretest() { return {1, IsCarvedPhoneNumber, 2, IsRecordDate}; }

bool PassesCallPretest(const DecodedRecord& record) { return Passes(CallPretest(), record); }

RowCells BuildCallRow(const DecodedRecord& record, const std::string& dbResultSn) {
  // The pre-test took only records whose date renders, so no page is abandoned here.
  return CallRowCells(record, RenderedDate(ValueAt(record, 2)), dbResultSn, RecordOrigin::kCarved);
}

RowCells CallRowCells(const DecodedRecord& record, std::string date, const std::string& dbResultSn,
                      RecordOrigin origin) {
  RowCells cells = EmptyRow(ResultTable::kFuck2);
  Cell(cells, fuck2::kId) = ValueAt(record, 0);
  Cell(cells, fuck2::kTel1) = ValueAt(record, 1);
  Cell(cells, fuck2::kData) = std::move(date);
  Cell(cells, fuck2::kDuration) = ValueAt(record, 3);
  Cell(cells, fuck2::kType) = ValueAt(record, 4);
  // The deleted-record rules clear only the code "CN": a carved name that
  // reads "中国" is shown as found, so nothing carved is hidden by a guess.
  const auto country = [&](const std::string& name) {
    return name == "CN" || (origin == RecordOrigin::kLive && name == "中国");
  };
  if (const auto name = record.firstTextColumn(5); name && !country(record.values[*name])) {
    Cell(cells, fuck2::kName) = record.values[*name];
  }
  Cell(cells, fuck2::kDel) = DeletedMarkFor(ValueAt(record, 0));
  Cell(cells, fuck2::kFlag) = "Call";
  Cell(cells, fuck2::kDbResultNum) = dbResultSn;
  return cells;
}

std::string ContactDataFlag(std::string_view data1) {
  if (IsPhoneNumber(data1)) return "Tel";
  if (!data1.empty() && IsPersonName(data1)) return "Name";
  return "";
}

std::string RawContactIdCell(std::string_view value) {
  return value == kNoUserValue ? std::string("1") : std::string(value);
}

std::string DeletedMarkFor(std::string_view id) {
  return id == "-1" ? std::string(kDeletedRowMark) : std::string();
}

Pretest MessagePretest(std::size_t dateColumn) {
  return {2, IsCarvedPhoneNumber, dateColumn, IsRecordDate};
}

bool PassesMessagePretest(const DecodedRecord& record, std::size_t dateColumn) {
  return Passes(MessagePretest(dateColumn), record);
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
  Cell(cells, fuck3::kDel) = kDeletedRowMark;
  Cell(cells, fuck3::kFlag) = "Sms";
  Cell(cells, fuck3::kDbResultNum) = dbResultSn;
  return cells;
}

Pretest DataPretest() { return {2, IsCarvedMimetypeId, 3, IsCarvedRawContactId}; }

bool PassesDataPretest(const DecodedRecord& record) { return Passes(DataPretest(), record); }

std::optional<RowCells> BuildDataRow(const DecodedRecord& record, const std::string& dbResultSn) {
  if (record.columnCount() < 4 || record.values[2] == "4") return std::nullopt;
  const auto data1 = record.firstTextColumn(4);
  if (!data1) return std::nullopt;
  const std::string& text = record.values[*data1];
  std::string flag = ContactDataFlag(text);
  if (flag.empty()) return std::nullopt;

  RowCells cells = EmptyRow(ResultTable::kFuck1);
  Cell(cells, fuck1::kId) = record.values[0];
  // The constant types 8 and 9 carry no value; such ids are read as 1. A
  // carved row keeps any other id, where a live row leaves it empty: a carved
  // record has no page layout behind it, and its id is left to show its kind.
  Cell(cells, fuck1::kMimetypeId) = record.labels[2] == '8' ? "1" : record.values[2];
  Cell(cells, fuck1::kRawContactId) = RawContactIdCell(record.values[3]);
  Cell(cells, fuck1::kData1) = text;
  Cell(cells, fuck1::kFlag) = std::move(flag);
  Cell(cells, fuck1::kDataResultNum) = dbResultSn;
  Cell(cells, fuck1::kDel) = kDeletedRowMark;
  return cells;
}

}  // namespace orv
