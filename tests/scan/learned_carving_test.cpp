// Deleted records of pages read with a learned layout: an Android 10 call log
// whose owner deleted some calls after others were rewritten (the old copies
// of rewritten rows stay in the pages' free space).

#include "scan/learned_carving.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "fixtures/memory_source.h"
#include "fixtures/phone_layouts.h"
#include "fixtures/sqlite_db.h"
#include "platform/stop_flag.h"
#include "results/record_assembly.h"
#include "scan/record_tests.h"
#include "scan/recording_scan_view.h"
#include "scan/tscan.h"

namespace orv {
namespace {

using fixtures::SqliteDb;
using fixtures::Value;

constexpr int kCalls = 300;
constexpr std::int64_t kFirstDate = 1546300800000;  // 2019-01-01

bool Deleted(int i) { return i % 9 == 4; }
bool Rewritten(int i) { return i % 11 == 3 && !Deleted(i); }

// The fields a call row shows: number, date, duration, type, name.
using CallFields = std::tuple<std::string, std::string, std::string, std::string, std::string>;

CallFields FieldsOf(int i) {
  const std::int64_t type = 1 + i % 6;
  return {"1380013" + std::to_string(1000 + i),
          *FormatRecordDate(std::to_string(kFirstDate + i * 3600000LL)), std::to_string(30 + i),
          type == 1 ? "NoUser" : std::to_string(type), "Caller " + std::to_string(i)};
}

CallFields FieldsOf(const TableRow& row) {
  return {row[fuck2::kTel1], row[fuck2::kData], row[fuck2::kDuration], row[fuck2::kType],
          row[fuck2::kName]};
}

std::vector<std::uint8_t> CallLogWithDeletions() {
  SqliteDb db;
  db.exec("PRAGMA secure_delete = OFF");
  db.exec(fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  db.exec(
      "CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY AUTOINCREMENT, "
      "source_package TEXT UNIQUE NOT NULL)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < kCalls; ++i) {
    const auto [number, date, duration, type, name] = FieldsOf(i);
    std::vector<Value> row(48);
    row[1] = number;
    row[2] = std::int64_t{1};
    row[5] = kFirstDate + i * 3600000LL;
    row[6] = std::int64_t{30 + i};
    row[8] = std::int64_t{1 + i % 6};
    row[16] = name;
    rows.push_back(std::move(row));
  }
  db.insertRows("calls", rows);
  // A rewritten row grows: its cell moves and the old one is freed.
  for (int i = 0; i < kCalls; ++i)
    if (Rewritten(i))
      db.exec(
          "UPDATE calls SET geocoded_location = 'Beijing, Haidian District, China' "
          "WHERE _id = " +
          std::to_string(i + 1));
  for (int i = 0; i < kCalls; ++i)
    if (Deleted(i)) db.exec("DELETE FROM calls WHERE _id = " + std::to_string(i + 1));
  return db.serialize();
}

class LearnedCarvingScanTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::vector<std::uint8_t> image(64 * 1024, 0);
    const auto file = CallLogWithDeletions();
    image.insert(image.end(), file.begin(), file.end());
    image.resize(image.size() + 64 * 1024, 0);
    ClearStop();
    ScanSettings settings{"image", ScanKind::kContactsCallsSms, LayoutMode::kLearned};
    Tscan scan(settings, tables_, view_, std::make_unique<fixtures::MemorySource>(image));
    ASSERT_EQ(scan.run(), ScanOutcome::kCompleted);
  }

  static std::multiset<CallFields> RowsMarked(std::string_view mark) {
    std::multiset<CallFields> out;
    for (const TableRow& row : tables_.rows(ResultTable::kFuck2))
      if (row[fuck2::kDel] == mark) out.insert(FieldsOf(row));
    return out;
  }

  static inline ResultTables tables_;
  static inline RecordingScanView view_;
};

TEST_F(LearnedCarvingScanTest, EveryDeletedCallComesBackOnceMarkedDeleted) {
  std::multiset<CallFields> deleted, live;
  for (int i = 0; i < kCalls; ++i) (Deleted(i) ? deleted : live).insert(FieldsOf(i));
  EXPECT_EQ(RowsMarked(""), live);
  EXPECT_EQ(RowsMarked(kDeletedRowMark), deleted);
  for (const TableRow& row : tables_.rows(ResultTable::kFuck2))
    if (row[fuck2::kDel] == kDeletedRowMark) {
      EXPECT_EQ(row[fuck2::kId], "-1");
    }
}

// Old copies are left by rewritten rows and by rows moved when a page split;
// a deleted record's further copies are no further deleted records.
TEST_F(LearnedCarvingScanTest, OldCopiesAreMarkedApartAndListedNowhere) {
  std::set<CallFields> known;
  std::size_t rewrittenCopies = 0;
  for (int i = 0; i < kCalls; ++i) known.insert(FieldsOf(i));
  const auto stale = RowsMarked(kStaleCopyMark);
  for (const CallFields& fields : stale) EXPECT_TRUE(known.count(fields));
  for (int i = 0; i < kCalls; ++i)
    if (Rewritten(i)) rewrittenCopies += stale.count(FieldsOf(i));
  EXPECT_GT(rewrittenCopies, 0u);
  const PreviewEntries preview =
      AssembleEntries(PreviewKind::kCalls, tables_.rows(ResultTable::kFuck2), {});
  EXPECT_EQ(preview.deleted.entries().size(), RowsMarked(kDeletedRowMark).size());
  EXPECT_EQ(preview.normal.entries().size(), RowsMarked("").size());
}

}  // namespace
}  // namespace orv
