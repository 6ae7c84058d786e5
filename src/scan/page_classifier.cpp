#include "scan/page_classifier.h"

#include <algorithm>
#include <map>

#include "scan/record_tests.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

// A record's label string as DB-Result shows it ("0,T,5,..."), read without
// building it: labels alternate with ",". Character positions count from 1,
// as a page's layout is described ("its 13th character").
class LabelString {
 public:
  explicit LabelString(const std::string& labels) : labels_(labels) {}

  // The character at `position`, '\0' outside the string.
  char at(std::size_t position) const {
    return position >= 1 && position <= size() ? charAt(position - 1) : '\0';
  }
  bool startsWith(std::string_view prefix) const { return matchesAt(0, prefix); }
  // 1-based position of the first occurrence of `needle`, 0 when absent.
  std::size_t firstPosition(std::string_view needle) const {
    for (std::size_t i = 0; i + needle.size() <= size(); ++i)
      if (matchesAt(i, needle)) return i + 1;
    return 0;
  }

 private:
  std::size_t size() const { return labels_.empty() ? 0 : 2 * labels_.size() - 1; }
  char charAt(std::size_t index) const { return index % 2 == 0 ? labels_[index / 2] : ','; }
  bool matchesAt(std::size_t index, std::string_view text) const {
    if (index + text.size() > size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (charAt(index + i) != text[i]) return false;
    return true;
  }

  const std::string& labels_;
};

bool IsNumberInRange(std::string_view text, std::int64_t low, std::int64_t high) {
  const auto value = ParseInt64(text);
  return value && *value >= low && *value <= high;
}

// The label tests of each kind: a page is of the kind only when a record
// passes its kind's test (the value tests follow).
bool HasCallLayout(const LabelString& labels) {
  const bool layout = labels.startsWith("0,T,5,1,1,") || labels.startsWith("0,T,5,2,1,") ||
                      labels.startsWith("0,T,5,8,1,") || labels.startsWith("0,T,5,8,8,");
  const char thirteenth = labels.at(13);
  return layout && (thirteenth == '0' || thirteenth == 'T');
}

bool HasDataLayout(const LabelString& labels) {
  const char seventh = labels.at(7);
  return labels.startsWith("0,0,1,") && labels.firstPosition(",T,") > 4 && seventh >= '1' &&
         seventh <= '4';
}

bool HasSmsLayout(const LabelString& labels) {
  const char third = labels.at(3);
  return third >= '1' && third <= '4' && labels.at(5) == 'T' && labels.firstPosition("5,") > 8;
}

template <class LayoutTest>
bool AnyRecordHas(const PageRecords& page, LayoutTest&& test) {
  return std::any_of(page.records.begin(), page.records.end(),
                     [&](const LiveRecord& live) { return test(LabelString(live.record.labels)); });
}

bool IsCallPage(const PageRecords& page) {
  for (const LiveRecord& live : page.records) {
    const DecodedRecord& r = live.record;
    if (!HasCallLayout(LabelString(r.labels)) || r.values.size() < 3) continue;
    if (IsPhoneNumber(r.values[1]) && IsAllDigits(r.values[2]) && IsRecordDate(r.values[2]))
      return true;
  }
  return false;
}

bool IsDataPage(const PageRecords& page) {
  if (!AnyRecordHas(page, HasDataLayout)) return false;
  bool verdict = false;
  for (const LiveRecord& live : page.records) {
    const auto& values = live.record.values;
    if (values.size() < 4) return false;
    if (values[2] != kNoUserValue && !IsNumberInRange(values[2], 1, kMaxMimetypeId)) return false;
    if (!values[3].empty()) verdict = IsAllDigits(values[3]) || values[3] == kNoUserValue;
  }
  return verdict;
}

bool IsSmsPage(const PageRecords& page) {
  for (const LiveRecord& live : page.records) {
    const DecodedRecord& r = live.record;
    if (!HasSmsLayout(LabelString(r.labels))) continue;
    if (!IsPhoneNumber(r.values[2])) continue;
    for (std::size_t i = 0; i < r.columnCount(); ++i)
      if (r.labels[i] == '5' && IsRecordDate(r.values[i])) return true;
  }
  return false;
}

// The value most rows share; ties go to the value seen first.
std::int32_t MostCommon(const std::vector<std::int32_t>& values) {
  std::map<std::int32_t, int> counts;
  std::int32_t best = 0;
  int bestCount = 0;
  for (std::int32_t value : values) {
    const int count = ++counts[value];
    if (count > bestCount) {
      best = value;
      bestCount = count;
    }
  }
  return best;
}

}  // namespace

std::string_view PageKindFlag(PageKind kind) {
  switch (kind) {
    case PageKind::kCall:
      return "Call";
    case PageKind::kSms:
      return "Sms";
    case PageKind::kData:
      return "Data";
  }
  return {};
}

std::optional<PageKind> PageKindFromFlag(std::string_view flag) {
  if (flag == "Call") return PageKind::kCall;
  if (flag == "Sms") return PageKind::kSms;
  if (flag == "Data") return PageKind::kData;
  return std::nullopt;
}

bool MayClassify(const PageRecords& page) {
  const std::size_t k = page.singleColumnCount();
  return (kCallColumns.contains(k) && AnyRecordHas(page, HasCallLayout)) ||
         (kDataColumns.contains(k) && AnyRecordHas(page, HasDataLayout)) ||
         (kSmsColumns.contains(k) && AnyRecordHas(page, HasSmsLayout));
}

std::optional<PageKind> classifyPage(const PageRecords& page) {
  const std::size_t k = page.singleColumnCount();
  if (kCallColumns.contains(k) && IsCallPage(page)) return PageKind::kCall;
  if (kDataColumns.contains(k) && IsDataPage(page)) return PageKind::kData;
  if (kSmsColumns.contains(k) && IsSmsPage(page)) return PageKind::kSms;
  return std::nullopt;
}

std::optional<std::size_t> FirstDateColumn(const DecodedRecord& record) {
  const auto at = record.labels.find('5');
  if (at == std::string::npos) return std::nullopt;
  return at;
}

ColumnParameters computeColumnParameters(const std::vector<TableRow>& dbResultRows) {
  std::vector<std::int32_t> counts[3];
  for (const TableRow& row : dbResultRows) {
    const auto kind = PageKindFromFlag(row[db_result::kFlag]);
    const auto count = ParseInt64(row[db_result::kColumnCount]);
    if (kind && count) counts[static_cast<int>(*kind)].push_back(static_cast<std::int32_t>(*count));
  }
  ColumnParameters params;
  params.callColumns = MostCommon(counts[static_cast<int>(PageKind::kCall)]);
  params.smsColumns = MostCommon(counts[static_cast<int>(PageKind::kSms)]);
  params.dataColumns = MostCommon(counts[static_cast<int>(PageKind::kData)]);

  std::vector<std::int32_t> dateColumns;
  for (const TableRow& row : dbResultRows) {
    if (row[db_result::kFlag] != "Sms") continue;
    const auto count = ParseInt64(row[db_result::kColumnCount]);
    const auto dateColumn = ParseInt64(row[db_result::kSmsDateColumn]);
    if (count && *count == params.smsColumns && dateColumn)
      dateColumns.push_back(static_cast<std::int32_t>(*dateColumn));
  }
  params.smsDateColumn = MostCommon(dateColumns);
  return params;
}

}  // namespace orv
