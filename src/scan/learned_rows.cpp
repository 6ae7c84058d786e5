#include "scan/learned_rows.h"

#include "scan/page_descriptor.h"
#include "scan/record_decoder.h"
#include "scan/record_tests.h"

namespace orv {
namespace {

constexpr std::string_view kPhoneMimetype = "vnd.android.cursor.item/phone_v2";
constexpr std::string_view kNameMimetype = "vnd.android.cursor.item/name";

// The integer a column holds: the constants 0 and 1 (label '8') read as 1,
// as their value is not kept; empty for other kinds and for missing columns.
std::optional<std::int64_t> IntegerAt(const DecodedRecord& record, std::size_t column) {
  if (column >= record.columnCount()) return std::nullopt;
  const char label = record.labels[column];
  if (label == '8') return 1;
  if (!IsIntegerLabel(label)) return std::nullopt;
  return ParseInt64(record.values[column]);
}

bool IsDate(const DecodedRecord& record, std::size_t column) {
  const auto value = IntegerAt(record, column);
  return value && *value >= kEarliestRecordDateMs && *value <= kLatestRecordDateMs;
}

// A type code, or NULL.
bool IsTypeCode(const DecodedRecord& record, std::size_t column) {
  if (column < record.columnCount() && record.labels[column] == '0') return true;
  const auto value = IntegerAt(record, column);
  return value && *value >= 0 && *value <= kMaxTypeCode;
}

bool IsTextOrNull(const DecodedRecord& record, std::size_t column) {
  if (column == kNoField || column >= record.columnCount()) return true;
  return record.labels[column] == 'T' || record.labels[column] == '0';
}

bool IsIntegerOrNull(const DecodedRecord& record, std::size_t column) {
  return column >= record.columnCount() || record.labels[column] == '0' ||
         IntegerAt(record, column).has_value();
}

bool FieldsMakeSense(const DecodedRecord& r, const TableLayout& l, const MimetypeNames& mimetypes) {
  using namespace layout_field;
  switch (l.table) {
    case LayoutTable::kCalls:
      return IsTextOrNull(r, l.field(kCallNumber)) && IsDate(r, l.field(kCallDate)) &&
             IsIntegerOrNull(r, l.field(kCallDuration)) && IsTypeCode(r, l.field(kCallType)) &&
             IsTextOrNull(r, l.field(kCallName));
    case LayoutTable::kSms:
      return IsIntegerOrNull(r, l.field(kSmsThreadId)) && IsTextOrNull(r, l.field(kSmsAddress)) &&
             IsDate(r, l.field(kSmsDate)) && IsTypeCode(r, l.field(kSmsType)) &&
             IsTextOrNull(r, l.field(kSmsBody));
    case LayoutTable::kData: {
      const auto mimetype = IntegerAt(r, l.field(kDataMimetypeId));
      if (!mimetype || *mimetype <= 0) return false;
      if (!mimetypes.empty() && mimetypes.count(*mimetype) == 0) return false;
      return IntegerAt(r, l.field(kDataRawContactId)).has_value();
    }
    case LayoutTable::kMimetypes:
      return IsTextOrNull(r, l.field(kMimetypeName));
  }
  return false;
}

// A field's value as the result tables show it: "" for NULL and for a column
// the record does not have (written before the column was added).
std::string FieldText(const DecodedRecord& record, std::size_t column) {
  if (column == kNoField || column >= record.columnCount() || record.labels[column] == '0')
    return "";
  return record.values[column];
}

std::string DateText(const DecodedRecord& record, std::size_t column) {
  return FormatRecordDate(FieldText(record, column)).value_or("");
}

std::optional<std::string> ContactFlag(const DecodedRecord& r, const TableLayout& l,
                                       const MimetypeNames& mimetypes) {
  using namespace layout_field;
  const std::string data1 = FieldText(r, l.field(kDataData1));
  if (mimetypes.empty()) {
    if (IsPhoneNumber(data1)) return "Tel";
    if (!data1.empty() && IsPersonName(data1)) return "Name";
    return std::nullopt;
  }
  const auto name = mimetypes.find(*IntegerAt(r, l.field(kDataMimetypeId)));
  if (name == mimetypes.end() || data1.empty()) return std::nullopt;
  if (name->second == kPhoneMimetype) return "Tel";
  if (name->second == kNameMimetype) return "Name";
  return std::nullopt;
}

}  // namespace

bool RecordFits(const DecodedRecord& record, const TableLayout& layout,
                const MimetypeNames& mimetypes) {
  const std::size_t count = record.columnCount();
  if (count < layout.minColumns || count > layout.maxColumns) return false;
  const std::size_t typed = std::min(count, layout.affinities.size());
  for (std::size_t c = 0; c < typed; ++c)
    if (!LabelSuits(record.labels[c], layout.affinities[c])) return false;
  if (layout.rowidColumn < count && record.labels[layout.rowidColumn] != '0') return false;
  return FieldsMakeSense(record, layout, mimetypes);
}

std::size_t CountFittingRecords(const PageRecords& page, const TableLayout& layout,
                                const MimetypeNames& mimetypes) {
  std::size_t fitting = 0;
  for (const LiveRecord& live : page.records)
    if (RecordFits(live.record, layout, mimetypes)) ++fitting;
  return fitting;
}

std::optional<LearnedRow> MakeLearnedRow(const DecodedRecord& r, const TableLayout& l,
                                         const MimetypeNames& mimetypes,
                                         const std::string& pageSn) {
  using namespace layout_field;
  const std::string& id = r.values.front();
  switch (l.table) {
    case LayoutTable::kCalls:
      return LearnedRow{
          ResultTable::kFuck2,
          {id, FieldText(r, l.field(kCallNumber)), DateText(r, l.field(kCallDate)), "",
           FieldText(r, l.field(kCallDuration)), "", FieldText(r, l.field(kCallType)),
           FieldText(r, l.field(kCallName)), "Call", pageSn}};
    case LayoutTable::kSms:
      return LearnedRow{ResultTable::kFuck3,
                        {id, FieldText(r, l.field(kSmsAddress)), DateText(r, l.field(kSmsDate)),
                         FieldText(r, l.field(kSmsType)), "", FieldText(r, l.field(kSmsBody)), "",
                         "", "Sms", pageSn}};
    case LayoutTable::kData: {
      const auto flag = ContactFlag(r, l, mimetypes);
      if (!flag) return std::nullopt;
      const std::string rawContact = FieldText(r, l.field(kDataRawContactId));
      return LearnedRow{ResultTable::kFuck1,
                        {id, std::to_string(*IntegerAt(r, l.field(kDataMimetypeId))),
                         rawContact == kNoUserValue ? "1" : rawContact,
                         FieldText(r, l.field(kDataData1)), *flag, pageSn, ""}};
    }
    case LayoutTable::kMimetypes:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace orv
