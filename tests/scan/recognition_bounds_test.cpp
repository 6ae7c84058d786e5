// Every limit of page recognition, tested one below, at and one above it: a
// limit moved by one in the code fails one of these rows. The numbers are the
// recognition rules' own, written out, so moving a named constant fails too.

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "scan/carved_rows.h"
#include "scan/page_classifier.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBigEndian16(Bytes& bytes, std::size_t at, std::size_t value) {
  bytes[at] = static_cast<std::uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<std::uint8_t>(value);
}

struct HeaderCase {
  const char* name;
  std::size_t firstFreeblock;
  std::size_t cells;
  std::size_t contentStart;
  std::size_t pointer;  // every pointer of the array
  bool accepted;
};

// Array end of C cells: 8 + 2C, the lowest content start and pointer.
constexpr std::size_t End(std::size_t cells) { return 8 + 2 * cells; }
constexpr std::size_t kLast = 4095;  // the last offset of a 4096-byte page
constexpr std::size_t kCap = 799;    // cells a candidate may claim

const HeaderCase kHeaderCases[] = {
    {"ContentStartBelowArrayEnd", 0, 2, End(2) - 1, 3000, false},
    {"ContentStartAtArrayEnd", 0, 2, End(2), 3000, true},
    {"ContentStartAboveArrayEnd", 0, 2, End(2) + 1, 3000, true},
    {"ContentStartAtLastOffsetLess1", 0, 2, kLast - 1, 3000, true},
    {"ContentStartAtLastOffset", 0, 2, kLast, 3000, true},
    {"ContentStartPastPage", 0, 2, kLast + 1, 3000, false},
    {"PointerAtLastOffsetLess1", 0, 2, 100, kLast - 1, true},
    {"PointerAtLastOffset", 0, 2, 100, kLast, true},
    {"PointerPastPage", 0, 2, 100, kLast + 1, false},
    {"PointerInArray", 0, 2, 100, End(2) - 1, false},
    {"PointerAtArrayEnd", 0, 2, 100, End(2), true},
    {"PointerAfterArrayEnd", 0, 2, 100, End(2) + 1, true},
    {"FreeblockAtLastOffsetLess1", kLast - 1, 2, 100, 3000, true},
    {"FreeblockAtLastOffset", kLast, 2, 100, 3000, true},
    {"FreeblockPastPage", kLast + 1, 2, 100, 3000, false},
    {"NoCells", 0, 0, 100, 3000, false},
    {"CellCapLess1", 0, kCap - 1, End(kCap - 1), 4000, true},
    {"CellCap", 0, kCap, End(kCap), 4000, true},
    {"CellCapPlus1", 0, kCap + 1, End(kCap + 1), 4000, false},
    {"OneCellBeforeContentStart", 0, 1, 3001, 3000, false},
    {"OneCellAtContentStart", 0, 1, 3000, 3000, true},
    {"OneCellAfterContentStart", 0, 1, 2999, 3000, false},
};

constexpr std::size_t kAt = 1000;  // where the candidate lies in the buffer

Bytes BufferWithHeader(std::uint8_t type, const HeaderCase& c,
                       std::size_t size = kReadBufferBytes) {
  Bytes buffer(size, 0);
  buffer[kAt] = type;
  PutBigEndian16(buffer, kAt + 1, c.firstFreeblock);
  PutBigEndian16(buffer, kAt + 3, c.cells);
  PutBigEndian16(buffer, kAt + 5, c.contentStart);
  const std::size_t array = kAt + PageHeaderLength(type);
  for (std::size_t j = 0; j < c.cells && array + 2 * j + 1 < size; ++j)
    PutBigEndian16(buffer, array + 2 * j, c.pointer);
  return buffer;
}

class HeaderBoundsTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderBoundsTest, LeafCandidate) {
  std::vector<std::uint16_t> pointers;
  EXPECT_EQ(ReadLeafPageCandidate(BufferWithHeader(kTableLeafPage, GetParam()), kAt, pointers),
            GetParam().accepted);
}

// Interior and index pages have longer headers, but the same bounds.
TEST_P(HeaderBoundsTest, AbandonedPageCandidate) {
  for (const std::uint8_t type : {kTableInteriorPage, kIndexInteriorPage, kIndexLeafPage})
    EXPECT_EQ(IsAbandonedPageCandidate(BufferWithHeader(type, GetParam()), kAt),
              GetParam().accepted)
        << int{type};
}

// A listed page read again checks only its pointers.
TEST_P(HeaderBoundsTest, ListedPage) {
  const HeaderCase& c = GetParam();
  const Bytes buffer = BufferWithHeader(kTableLeafPage, c);
  const std::span<const std::uint8_t> page(buffer.begin() + kAt, buffer.end());
  const bool pointersInPage = c.pointer >= End(c.cells) && c.pointer <= kLast;
  std::vector<std::uint16_t> pointers;
  EXPECT_EQ(ReadListedPagePointers(page, pointers), c.cells == 0 || pointersInPage);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderBoundsTest, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The header and the whole pointer array must lie in the buffer given.
TEST(HeaderBoundsTest, ArrayMustLieInTheBuffer) {
  const HeaderCase c{"", 0, 3, 100, 3000, true};
  for (const std::uint8_t type : {kTableLeafPage, kTableInteriorPage}) {
    const std::size_t arrayEnd = kAt + PageHeaderLength(type) + 2 * c.cells;
    for (const std::size_t size : {arrayEnd - 1, arrayEnd, arrayEnd + 1}) {
      const bool fits = size >= arrayEnd;
      std::vector<std::uint16_t> pointers;
      const Bytes buffer = BufferWithHeader(type, c, size);
      const bool accepted = type == kTableLeafPage ? ReadLeafPageCandidate(buffer, kAt, pointers)
                                                   : IsAbandonedPageCandidate(buffer, kAt);
      EXPECT_EQ(accepted, fits) << size;
    }
  }
  std::vector<std::uint16_t> pointers;
  const Bytes tiny(kAt + 7, kTableLeafPage);  // a header cut short
  EXPECT_FALSE(ReadLeafPageCandidate(tiny, kAt, pointers));
  EXPECT_FALSE(IsAbandonedPageCandidate(Bytes(kAt + 7, kIndexLeafPage), kAt));
  EXPECT_FALSE(ReadListedPagePointers(std::span(tiny).first(7), pointers));
}

// A big page read whole is bounded by its own size, not by 4096 bytes.
TEST(HeaderBoundsTest, ListedBigPageIsBoundedByItsOwnSize) {
  for (const std::size_t pointer : {kPageBytes, std::size_t{8191}, std::size_t{8192}}) {
    const Bytes buffer = BufferWithHeader(kTableLeafPage, {"", 0, 2, 100, pointer, true});
    const std::span<const std::uint8_t> page(buffer.begin() + kAt, buffer.end());
    std::vector<std::uint16_t> pointers;
    EXPECT_FALSE(ReadListedPagePointers(page, pointers)) << pointer;
    EXPECT_EQ(ReadListedPagePointers(page, pointers, 8192), pointer < 8192) << pointer;
    EXPECT_TRUE(ReadListedPagePointers(page, pointers, 65536)) << pointer;
  }
}

// A text is taken only when it ends at least one byte before the buffer does.
TEST(RecordBoundsTest, TextMustEndBeforeTheBufferEnd) {
  constexpr std::size_t kText = 5;
  for (const std::size_t spare : {0, 1, 2}) {
    // header [2, serial type of a 5-byte text], then the text
    Bytes buffer(100 - 2 - kText - 1 + spare + 2 + kText + 1, 'a');
    const std::size_t headerPos = buffer.size() - (2 + kText + spare);
    buffer[headerPos] = 2;
    buffer[headerPos + 1] = 13 + 2 * kText;
    EXPECT_EQ(DecodeRecord(buffer, headerPos, 10).has_value(), spare >= 1) << spare;
  }
}

// A record from labels and values, the sizes left 0.
LiveRecord Record(std::string_view labels, const std::vector<std::string>& values) {
  LiveRecord live{{}, 40};
  for (std::size_t i = 0; i < labels.size(); ++i) live.record.append(labels[i], 0, values[i]);
  return live;
}

// `live` cut or padded with NULL columns to `k` columns.
LiveRecord WithColumns(const LiveRecord& live, std::size_t k) {
  LiveRecord out{{}, live.cellLength};
  for (std::size_t i = 0; i < k; ++i) {
    if (i < live.record.columnCount())
      out.record.append(live.record.labels[i], 0, live.record.values[i]);
    else
      out.record.append('0', 0, "Null");
  }
  return out;
}

PageRecords PageOf(const LiveRecord& live) {
  PageRecords page;
  page.records.push_back(live);
  page.columnCounts.push_back(live.record.columnCount());
  return page;
}

const LiveRecord kCall =
    Record("0T5218T10T08", {"1", "13800138000", "1300000000000", "300", "2", "NoUser", "张三", "2",
                            "Null", "CN", "Null", "NoUser"});
const LiveRecord kSms = Record(
    "01T051881180T0888", {"1", "3", "10086", "Null", "1300000000000", "0", "NoUser", "NoUser", "-1",
                          "1", "NoUser", "Null", "hi", "Null", "NoUser", "NoUser", "NoUser"});
LiveRecord DataRecord(std::string mimetype) {
  return Record("0011887T00000000",
                {"1", "Null", mimetype, "3", "NoUser", "NoUser", "张三", "Null", "Null", "Null",
                 "Null", "Null", "Null", "Null", "Null", "Null"});
}

struct WindowCase {
  const char* name;
  LiveRecord record;
  ColumnCountWindow window;
  PageKind kind;
};

TEST(ColumnWindowTest, EachKindIsRecognisedOnlyInsideItsWindow) {
  const FixedClock clock({1464739200000, 8 * 3600});
  ScopedClockOverride guard(clock);
  // Counts strictly between: calls 8 and 40, messages 13 and 40, data 14 and 40.
  const WindowCase cases[] = {{"calls", kCall, {8, 40}, PageKind::kCall},
                              {"sms", kSms, {13, 40}, PageKind::kSms},
                              {"data", DataRecord("5"), {14, 40}, PageKind::kData}};
  for (const WindowCase& c : cases) {
    const std::size_t low = c.window.above;
    const std::size_t high = c.window.below;
    for (const std::size_t k : {low, low + 1, low + 2, high - 1, high, high + 1}) {
      const bool inside = k > low && k < high;
      const auto kind = classifyPage(PageOf(WithColumns(c.record, k)));
      EXPECT_EQ(kind == c.kind, inside) << c.name << " with " << k << " columns";
      if (!inside) {
        EXPECT_FALSE(kind) << c.name << " with " << k << " columns";
      }
    }
  }
}

TEST(MimetypeBoundTest, DataPagesAndCarvedDataRowsTakeMimetypesUpToTheBound) {
  const std::int64_t bound = 20;  // mimetype ids 1 to 20
  const struct {
    std::int64_t mimetype;
    bool taken;
  } cases[] = {{0, false}, {1, true}, {bound - 1, true}, {bound, true}, {bound + 1, false}};
  for (const auto& c : cases) {
    const LiveRecord data = DataRecord(std::to_string(c.mimetype));
    EXPECT_EQ(classifyPage(PageOf(data)) == PageKind::kData, c.taken) << c.mimetype;
    EXPECT_EQ(PassesDataPretest(data.record), c.taken) << c.mimetype;
  }
}

}  // namespace
}  // namespace orv
