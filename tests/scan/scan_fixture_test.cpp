// End to end: fixture images built with SQLite, scanned from a file, and the
// result tables checked against what the fixture wrote.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "fixtures/demo_image.h"
#include "fixtures/memory_source.h"
#include "platform/stop_flag.h"
#include "scan/record_tests.h"
#include "scan/recording_scan_view.h"
#include "scan/recoverable_rows.h"
#include "scan/scan_texts.h"
#include "scan/tscan.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using fixtures::FixtureTable;
using fixtures::TruthRow;

// Integers 0 and 1 are stored without content, so the scan shows them as "NoUser".
std::string StoredInteger(std::int64_t value) {
  return value == 0 || value == 1 ? "NoUser" : std::to_string(value);
}

std::string Date(std::int64_t ms) { return *FormatRecordDate(std::to_string(ms)); }

struct ScannedImage {
  fixtures::DemoImage demo;
  ResultTables tables;
  RecordingScanView view;
  ScanOutcome outcome{};
  ScanSummary summary;
  std::map<std::uint64_t, std::string> pageSnByOffset;  // DB-Result Start-Offset -> SN

  // The DB-Result SN of the laid page holding image offset `at`.
  std::string pageSn(std::uint64_t at) const {
    for (const auto& page : demo.image.truth.pages)
      if (at >= page.imageOffset && at < page.imageOffset + 4096) {
        const auto found = pageSnByOffset.find(page.imageOffset);
        return found == pageSnByOffset.end() ? "" : found->second;
      }
    return "";
  }
};

// Builds the demo image of `release`, writes it to a file and scans it.
std::unique_ptr<ScannedImage> ScanDemo(fixtures::AndroidRelease release, LayoutMode layouts) {
  auto scanned = std::make_unique<ScannedImage>();
  scanned->demo = fixtures::BuildDemoImage({.seed = 7, .release = release});
  const fs::path path =
      fs::temp_directory_path() /
      ("orv-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(static_cast<int>(release)) +
       "-" + std::to_string(static_cast<int>(layouts)) + ".img");
  EXPECT_EQ(fixtures::WriteFileBytes(path.string(), scanned->demo.image.bytes), "");
  ClearStop();
  Tscan scan({path.string(), ScanKind::kContactsCallsSms, layouts}, scanned->tables, scanned->view);
  scanned->outcome = scan.run();
  scanned->summary = scan.summary();
  fs::remove(path);
  for (const TableRow& row : scanned->tables.rows(ResultTable::kDbResult))
    scanned->pageSnByOffset[std::stoull(row[db_result::kStartOffset])] = row[db_result::kSn];
  return scanned;
}

class ScanFixtureTest : public ::testing::TestWithParam<fixtures::AndroidRelease> {
 protected:
  static bool CallsRecognised() { return orv::CallsRecognised(GetParam()); }

  // The scan with the fixed layouts only, whose output these tests pin down.
  static const ScannedImage& Scanned() { return ScannedWith(LayoutMode::kSpec); }

  static const ScannedImage& ScannedWith(LayoutMode layouts) {
    static std::map<std::pair<fixtures::AndroidRelease, LayoutMode>, std::unique_ptr<ScannedImage>>
        cache;
    auto& entry = cache[{GetParam(), layouts}];
    if (!entry) entry = ScanDemo(GetParam(), layouts);
    return *entry;
  }
};

TEST_P(ScanFixtureTest, ListsTheLeafPagesOfTheThreeTablesAtTheirOffsets) {
  const ScannedImage& s = Scanned();
  ASSERT_EQ(s.outcome, ScanOutcome::kCompleted);
  const auto& demo = s.demo;
  std::set<std::uint64_t> listed;
  for (const TableRow& row : s.tables.rows(ResultTable::kDbResult)) {
    if (row[db_result::kPageType] != "0D") continue;
    listed.insert(std::stoull(row[db_result::kStartOffset]));
  }
  int expected = 0;
  for (const auto& page : demo.image.truth.pages) {
    const auto& db = page.database == "contacts2.db" ? demo.contacts : demo.messages;
    const auto& info = db.pages[page.pageNumber - 1];
    if (info.typeByte != 0x0D || info.onFreelist || !page.note.empty()) continue;
    const bool wanted =
        (info.owner == "calls" && CallsRecognised()) || info.owner == "sms" || info.owner == "data";
    if (!wanted) continue;
    ++expected;
    EXPECT_TRUE(listed.count(page.imageOffset))
        << info.owner << " page " << page.pageNumber << " at " << page.imageOffset;
  }
  EXPECT_GT(expected, 3);
  // The messages database lies at an odd offset: its pages are found there too.
  EXPECT_EQ(demo.image.truth.databases[1].imageOffset % 4096, 1237u);
}

TEST_P(ScanFixtureTest, EveryLiveCallMessageAndContactComesBackWithItsValues) {
  const ScannedImage& s = Scanned();
  // Rows by ID and page: a page freed when its cells moved to a neighbour
  // still reads as a leaf, so a live row may come back twice, from two pages.
  std::map<std::string, TableRow> calls, messages, data;
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck2))
    calls[row[fuck2::kId] + "@" + row[fuck2::kDbResultNum]] = row;
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck3))
    messages[row[fuck3::kId] + "@" + row[fuck3::kDbResultNum]] = row;
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck1))
    data[row[fuck1::kId] + "@" + row[fuck1::kDataResultNum]] = row;

  int checked = 0;
  for (const auto& imageRow : s.demo.image.truth.rows) {
    const TruthRow& t = imageRow.row;
    if (!IsLiveInImage(imageRow)) continue;
    const std::string id = std::to_string(t.rowid) + "@" + s.pageSn(*imageRow.cellImageOffset);
    switch (t.table) {
      case FixtureTable::kCalls: {
        if (!CallsRecognised()) continue;
        ASSERT_TRUE(calls.count(id)) << "call " << id;
        const TableRow& row = calls.at(id);
        EXPECT_EQ(row[fuck2::kTel1], t.number);
        EXPECT_EQ(row[fuck2::kData], Date(t.dateMs));
        EXPECT_EQ(row[fuck2::kDuration], StoredInteger(t.duration));
        EXPECT_EQ(row[fuck2::kType], StoredInteger(t.type));
        if (!t.name.empty()) {
          EXPECT_EQ(row[fuck2::kName], t.name);
        }
        EXPECT_EQ(row[fuck2::kDel], "");
        break;
      }
      case FixtureTable::kSms: {
        ASSERT_TRUE(messages.count(id)) << "message " << id;
        const TableRow& row = messages.at(id);
        EXPECT_EQ(row[fuck3::kTel1], t.number);
        EXPECT_EQ(row[fuck3::kData], Date(t.dateMs));
        if (!t.body.empty()) {
          EXPECT_EQ(row[fuck3::kBody], t.body);
        }
        if (row[fuck3::kSmsType] != "3") {
          EXPECT_EQ(row[fuck3::kSmsType], StoredInteger(t.type));
        }
        break;
      }
      case FixtureTable::kData: {
        const bool name = t.dataKind == fixtures::DataKind::kName && IsPersonName(t.data1);
        const bool phone = t.dataKind == fixtures::DataKind::kPhone;
        if (!name && !phone) continue;
        ASSERT_TRUE(data.count(id)) << "data " << id << " " << t.data1;
        const TableRow& row = data.at(id);
        EXPECT_EQ(row[fuck1::kData1], t.data1);
        EXPECT_EQ(row[fuck1::kFlag], phone ? "Tel" : "Name");
        EXPECT_EQ(row[fuck1::kRawContactId],
                  t.rawContactId <= 1 ? "1" : std::to_string(t.rawContactId));
        break;
      }
      default:
        continue;
    }
    ++checked;
  }
  EXPECT_GT(checked, 200);
}

std::string Key(const std::string& number, const std::string& date) { return number + "|" + date; }

TEST_P(ScanFixtureTest, SurvivingDeletedRowsComeBackWithTheDeletedMark) {
  const ScannedImage& s = Scanned();
  std::set<std::string> deletedCalls, deletedMessages;
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck2)) {
    if (row[fuck2::kId] != "-1") continue;
    EXPECT_EQ(row[fuck2::kDel], "DEL");
    deletedCalls.insert(Key(row[fuck2::kTel1], row[fuck2::kData]));
  }
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck3)) {
    if (row[fuck3::kId] != "-1") continue;
    EXPECT_EQ(row[fuck3::kDel], "DEL");
    deletedMessages.insert(Key(row[fuck3::kTel1], row[fuck3::kData]));
  }
  int survivors = 0;
  for (const auto& imageRow : s.demo.image.truth.rows) {
    const TruthRow& t = imageRow.row;
    if (!ComesBackDeleted(imageRow, GetParam())) continue;
    ++survivors;
    const std::string key = Key(t.number, Date(t.dateMs));
    const auto& found = t.table == FixtureTable::kCalls ? deletedCalls : deletedMessages;
    EXPECT_TRUE(found.count(key)) << "deleted row " << t.rowid << " " << key;
  }
  EXPECT_GT(survivors, 10);
}

TEST_P(ScanFixtureTest, FillerGivesNoRows) {
  const ScannedImage& s = Scanned();
  const auto& truth = s.demo.image.truth;
  // Every page a row came from lies in a database or a reused page.
  auto laidByFixture = [&](std::uint64_t offset) {
    for (const auto& db : truth.databases)
      if (offset >= db.imageOffset && offset + 4096 <= db.imageOffset + db.size) return true;
    for (const auto& page : truth.pages)
      if (offset == page.imageOffset) return true;
    return false;
  };
  std::map<std::string, std::uint64_t> pageOffsetBySn;
  for (const TableRow& row : s.tables.rows(ResultTable::kDbResult)) {
    const std::uint64_t offset = std::stoull(row[db_result::kStartOffset]);
    pageOffsetBySn[row[db_result::kSn]] = offset;
    EXPECT_TRUE(laidByFixture(offset)) << "page at " << offset;
  }
  std::set<std::string> numbers;
  for (const auto& imageRow : truth.rows) numbers.insert(imageRow.row.number);
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck2)) {
    EXPECT_TRUE(pageOffsetBySn.count(row[fuck2::kDbResultNum]));
    EXPECT_TRUE(numbers.count(row[fuck2::kTel1])) << row[fuck2::kTel1];
  }
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck3)) {
    EXPECT_TRUE(pageOffsetBySn.count(row[fuck3::kDbResultNum]));
    EXPECT_TRUE(numbers.count(row[fuck3::kTel1])) << row[fuck3::kTel1];
  }
  for (const TableRow& row : s.tables.rows(ResultTable::kFuck1))
    EXPECT_TRUE(pageOffsetBySn.count(row[fuck1::kDataResultNum]));
}

// A table's rows without the columns that number rows and pages, which move
// when learned pages are listed beside the fixed ones.
std::multiset<TableRow> RowsWithoutNumbers(const ResultTables& tables, ResultTable table,
                                           const std::vector<std::size_t>& numberColumns) {
  std::multiset<TableRow> rows;
  for (TableRow row : tables.rows(table)) {
    for (const std::size_t column : numberColumns) row[column].clear();
    rows.insert(std::move(row));
  }
  return rows;
}

// Learning layouts only adds: every row the fixed layouts give comes back
// with the same values, and on releases the fixed layouts fully handle
// nothing else comes back.
TEST_P(ScanFixtureTest, LearnedLayoutsKeepEveryRowOfTheFixedLayouts) {
  const ScannedImage& spec = Scanned();
  const ScannedImage& learned = ScannedWith(LayoutMode::kLearned);
  ASSERT_EQ(learned.outcome, ScanOutcome::kCompleted);
  const std::vector<std::pair<ResultTable, std::vector<std::size_t>>> tables = {
      {ResultTable::kDbResult, {db_result::kSn, db_result::kCntType}},
      {ResultTable::kFuck1, {fuck1::kSn, fuck1::kDataResultNum}},
      {ResultTable::kFuck2, {fuck2::kSn, fuck2::kDbResultNum}},
      {ResultTable::kFuck3, {fuck3::kSn, fuck3::kDbResultNum}}};
  for (const auto& [table, numbers] : tables) {
    const auto specRows = RowsWithoutNumbers(spec.tables, table, numbers);
    const auto learnedRows = RowsWithoutNumbers(learned.tables, table, numbers);
    EXPECT_TRUE(
        std::includes(learnedRows.begin(), learnedRows.end(), specRows.begin(), specRows.end()))
        << "table " << static_cast<int>(table);
    if (CallsRecognised()) {
      EXPECT_EQ(learnedRows.size(), specRows.size()) << "table " << static_cast<int>(table);
    }
  }
}

// Nothing in a sound image is an error: a line of type "错误" means a page
// failed to decode in a way the engine does not expect, or a read failed.
TEST_P(ScanFixtureTest, LogHoldsNoErrorLines) {
  const ScannedImage& s = Scanned();
  for (const std::string& line : s.view.log) EXPECT_FALSE(line.starts_with("错误|")) << line;
  EXPECT_EQ(s.view.status[1], "");
  EXPECT_EQ(s.summary.internalErrors, 0u);
  EXPECT_EQ(s.summary.unreadableBytes, 0u);
}

std::set<std::uint64_t> ListedOffsets(const ResultTables& tables) {
  std::set<std::uint64_t> offsets;
  for (const TableRow& row : tables.rows(ResultTable::kDbResult))
    offsets.insert(std::stoull(row[db_result::kStartOffset]));
  return offsets;
}

// A card with two bad sectors: one inside a listed page, one in filler. Only
// the page that holds the bad sector is lost; the bytes lost and where the
// first ones lie are reported in the log, the status bar and the summary.
// With the fixed layouts only: a learned layout still reads the records left
// on a page that lost a sector.
TEST(ScanFailingSourceTest, OnlyPagesOnFailingSectorsAreLostAndTheLossIsReported) {
  const auto demo =
      fixtures::BuildDemoImage({.seed = 7, .release = fixtures::AndroidRelease::k4_0});
  ResultTables clean;
  RecordingScanView cleanView;
  ClearStop();
  ASSERT_EQ(Tscan({"image", ScanKind::kContactsCallsSms, LayoutMode::kSpec}, clean, cleanView,
                  std::make_unique<fixtures::MemorySource>(demo.image.bytes))
                .run(),
            ScanOutcome::kCompleted);
  const std::set<std::uint64_t> cleanPages = ListedOffsets(clean);
  ASSERT_GT(cleanPages.size(), 4u);

  const std::uint64_t lostPage = *std::next(cleanPages.begin(), 2);
  const std::uint64_t pageSector = (lostPage + 1000) / kSectorBytes;
  auto inAnyPage = [&](std::uint64_t sector) {
    for (const auto& page : demo.image.truth.pages)
      if (page.imageOffset < (sector + 1) * kSectorBytes &&
          page.imageOffset + 4096 > sector * kSectorBytes)
        return true;
    for (const auto& db : demo.image.truth.databases)
      if (db.imageOffset < (sector + 1) * kSectorBytes &&
          db.imageOffset + db.size > sector * kSectorBytes)
        return true;
    return false;
  };
  std::uint64_t fillerSector = demo.image.bytes.size() / kSectorBytes - 300;
  while (inAnyPage(fillerSector)) --fillerSector;

  ResultTables tables;
  RecordingScanView view;
  Tscan scan({"image", ScanKind::kContactsCallsSms, LayoutMode::kSpec}, tables, view,
             std::make_unique<fixtures::MemorySource>(demo.image.bytes,
                                                      std::set{pageSector, fillerSector}));
  ASSERT_EQ(scan.run(), ScanOutcome::kCompleted);

  std::set<std::uint64_t> expected = cleanPages;
  expected.erase(lostPage);
  EXPECT_EQ(ListedOffsets(tables), expected);
  const std::uint64_t first = std::min(pageSector, fillerSector) * kSectorBytes;
  const std::uint64_t second = std::max(pageSector, fillerSector) * kSectorBytes;
  EXPECT_EQ(scan.summary().unreadableBytes, 2 * kSectorBytes);
  EXPECT_EQ(scan.summary().firstUnreadableOffsets, (std::vector<std::uint64_t>{first, second}));
  const std::string text = std::string(scan_text::kUnreadableBytes) + "1024" +
                           scan_text::kUnreadableFirstAt + std::to_string(first) + "," +
                           std::to_string(second);
  EXPECT_TRUE(view.logged(std::string("错误|") + text));
  EXPECT_EQ(view.status[1], text);
}

INSTANTIATE_TEST_SUITE_P(Releases, ScanFixtureTest,
                         ::testing::Values(fixtures::AndroidRelease::k2_3,
                                           fixtures::AndroidRelease::k4_0,
                                           fixtures::AndroidRelease::k6_0));

}  // namespace
}  // namespace orv
