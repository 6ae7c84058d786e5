// Databases whose pages are larger than 4096 bytes (`PRAGMA page_size` 8192
// to 65536, the largest stored as 1 in the header): an Android 10 call log
// and contacts data with rows deleted. The 4096-byte case beside them is
// found by the byte-by-byte tests; the others only as whole big pages.

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <set>
#include <tuple>

#include "fixtures/memory_source.h"
#include "fixtures/phone_layouts.h"
#include "fixtures/sqlite_db.h"
#include "platform/stop_flag.h"
#include "scan/learned_recognition.h"
#include "scan/record_tests.h"
#include "scan/recording_scan_view.h"
#include "scan/tscan.h"

namespace orv {
namespace {

using fixtures::SqliteDb;
using fixtures::Value;

constexpr int kCalls = 700;                         // more than one 64 KiB page holds
constexpr int kPeople = 150;                        // a name and a number each
constexpr std::int64_t kFirstDate = 1546300800000;  // 2019-01-01
constexpr std::int64_t kPhoneMimetype = 5, kNameMimetype = 7;

// Rows deleted among the first 60 % of a table's `count`, as a phone deletes
// old calls: the pages keep enough rows that SQLite rebuilds none of them
// (it rebuilds a page more than two thirds free, such as the last one, with
// its neighbours, and the deleted records in them are gone).
bool Deleted(int i, int count) { return i % 9 == 4 && i < count * 3 / 5; }

// The fields a call row shows: number, date, duration, type, name.
using CallFields = std::tuple<std::string, std::string, std::string, std::string, std::string>;
// raw_contact_id, data1, flag.
using ContactFields = std::tuple<std::string, std::string, std::string>;

CallFields CallOf(int i) {
  const std::int64_t type = 1 + i % 6;
  return {"1380013" + std::to_string(1000 + i),
          *FormatRecordDate(std::to_string(kFirstDate + i * 3600000LL)), std::to_string(30 + i),
          type == 1 ? "NoUser" : std::to_string(type), "Caller " + std::to_string(i)};
}

// Person i's name row (even rowids) and number row (odd).
ContactFields ContactOf(int row) {
  const int person = row / 2;
  const std::string raw = std::to_string(person + 1);
  if (row % 2 == 0) return {raw, "Иван Петров " + std::to_string(person), "Name"};
  return {raw, "+86 138 0013 " + std::to_string(1000 + person), "Tel"};
}

void NewDatabase(SqliteDb& db, std::uint32_t pageBytes) {
  db.exec("PRAGMA page_size = " + std::to_string(pageBytes));  // before the first table
  db.exec("PRAGMA secure_delete = OFF");
}

void DeleteRows(SqliteDb& db, std::string_view table, int count) {
  std::vector<std::int64_t> rowids;
  for (int i = 0; i < count; ++i)
    if (Deleted(i, count)) rowids.push_back(i + 1);
  db.deleteRows(table, rowids);
}

std::vector<std::uint8_t> CallLog(std::uint32_t pageBytes) {
  SqliteDb db;
  NewDatabase(db, pageBytes);
  db.exec(fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  db.exec("CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY, source_package TEXT)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < kCalls; ++i) {
    std::vector<Value> row(fixtures::Pixel10Calls().columns.size());
    row[1] = std::get<0>(CallOf(i));
    row[2] = std::int64_t{1};
    row[5] = kFirstDate + i * 3600000LL;
    row[6] = std::int64_t{30 + i};
    row[8] = std::int64_t{1 + i % 6};
    row[16] = std::get<4>(CallOf(i));
    rows.push_back(std::move(row));
  }
  db.insertRows("calls", rows);
  DeleteRows(db, "calls", kCalls);
  return db.serialize();
}

std::vector<std::uint8_t> Contacts(std::uint32_t pageBytes) {
  SqliteDb db;
  NewDatabase(db, pageBytes);
  db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY, display_name TEXT)");
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY, mimetype TEXT NOT NULL)");
  db.exec(fixtures::CreateTableSqlOf(fixtures::Pixel10Data()));
  std::vector<std::vector<Value>> mimetypes;
  for (std::int64_t id = 1; id <= 8; ++id) {
    const std::string name = id == kPhoneMimetype  ? "phone_v2"
                             : id == kNameMimetype ? "name"
                                                   : "app" + std::to_string(id);
    mimetypes.push_back({id, "vnd.android.cursor.item/" + name});
  }
  db.insertRows("mimetypes", mimetypes);
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 2 * kPeople; ++i) {
    const auto [raw, data1, flag] = ContactOf(i);
    std::vector<Value> row(fixtures::Pixel10Data().columns.size());
    row[2] = flag == "Tel" ? kPhoneMimetype : kNameMimetype;
    row[3] = std::int64_t{std::stoi(raw)};
    row[4] = "hQ7vX2+kLm9pRt4sWz8yBn3cDe5" + std::to_string(i % 10);
    row[9] = data1;
    rows.push_back(std::move(row));
  }
  db.insertRows("data", rows);
  DeleteRows(db, "data", 2 * kPeople);
  return db.serialize();
}

struct Scanned {
  ResultTables tables;
  RecordingScanView view;
};

class BigPageScanTest : public ::testing::TestWithParam<std::uint32_t> {
 protected:
  // The image of the two databases with the page size of the test, scanned
  // in `mode` (once per size and mode).
  static const Scanned& Scan(LayoutMode mode) {
    static std::map<std::pair<std::uint32_t, LayoutMode>, Scanned> scans;
    const auto key = std::make_pair(GetParam(), mode);
    if (const auto done = scans.find(key); done != scans.end()) return done->second;
    std::vector<std::uint8_t> image(64 * 1024, 0);
    const auto calls = CallLog(GetParam());
    image.insert(image.end(), calls.begin(), calls.end());
    // The second file starts at a sector, not at a 4096-byte boundary.
    image.resize((image.size() + 4095) / 4096 * 4096 + 4608, 0x5A);
    const auto contacts = Contacts(GetParam());
    image.insert(image.end(), contacts.begin(), contacts.end());
    image.resize(image.size() + 128 * 1024, 0);
    ClearStop();
    Scanned& scanned = scans[key];
    ScanSettings settings{"image", ScanKind::kContactsCallsSms, mode};
    Tscan scan(settings, scanned.tables, scanned.view,
               std::make_unique<fixtures::MemorySource>(image));
    EXPECT_EQ(scan.run(), ScanOutcome::kCompleted);
    return scanned;
  }

  static std::multiset<CallFields> CallsMarked(std::string_view mark, LayoutMode mode) {
    std::multiset<CallFields> out;
    for (const TableRow& row : Scan(mode).tables.rows(ResultTable::kFuck2))
      if (row[fuck2::kDel] == mark)
        out.insert({row[fuck2::kTel1], row[fuck2::kData], row[fuck2::kDuration], row[fuck2::kType],
                    row[fuck2::kName]});
    return out;
  }

  static std::multiset<ContactFields> ContactsMarked(std::string_view mark, LayoutMode mode) {
    std::multiset<ContactFields> out;
    for (const TableRow& row : Scan(mode).tables.rows(ResultTable::kFuck1))
      if (row[fuck1::kDel] == mark)
        out.insert({row[fuck1::kRawContactId], row[fuck1::kData1], row[fuck1::kFlag]});
    return out;
  }
};

TEST_P(BigPageScanTest, EveryCallComesBackLiveOrDeletedWithItsFields) {
  std::multiset<CallFields> live, deleted;
  for (int i = 0; i < kCalls; ++i) (Deleted(i, kCalls) ? deleted : live).insert(CallOf(i));
  EXPECT_EQ(CallsMarked("", LayoutMode::kLearned), live);
  EXPECT_EQ(CallsMarked(kDeletedRowMark, LayoutMode::kLearned), deleted);
}

TEST_P(BigPageScanTest, EveryContactRowComesBackLiveOrDeletedWithItsFields) {
  std::multiset<ContactFields> live, deleted;
  for (int i = 0; i < 2 * kPeople; ++i)
    (Deleted(i, 2 * kPeople) ? deleted : live).insert(ContactOf(i));
  EXPECT_EQ(ContactsMarked("", LayoutMode::kLearned), live);
  // The fixed layout lists pages of 4096 bytes as contacts data and carves
  // their free space itself, taking the hash for data1; those rows stay
  // beside the ones carved with the learned layout.
  const auto carved = ContactsMarked(kDeletedRowMark, LayoutMode::kLearned);
  if (GetParam() > 4096)
    EXPECT_EQ(carved, deleted);
  else
    EXPECT_TRUE(std::includes(carved.begin(), carved.end(), deleted.begin(), deleted.end()));
}

TEST_P(BigPageScanTest, PagesAreListedWithTheirOwnSize) {
  std::size_t learned = 0;
  for (const TableRow& row : Scan(LayoutMode::kLearned).tables.rows(ResultTable::kDbResult)) {
    if (row[db_result::kCntType] != kLearnedPageMark) continue;
    ++learned;
    EXPECT_EQ(row[db_result::kFileLen], std::to_string(GetParam()));
    EXPECT_EQ(std::stoull(row[db_result::kEndOffset]),
              std::stoull(row[db_result::kStartOffset]) + GetParam());
  }
  EXPECT_GE(learned, 2u);  // a page of each database at least
}

// The fixed layouts take neither table of these releases, whatever the page
// size: the calls' date stands behind three columns, data1 behind the hash.
TEST_P(BigPageScanTest, TheFixedLayoutsGiveNoRowsOfThem) {
  EXPECT_TRUE(Scan(LayoutMode::kSpec).tables.rows(ResultTable::kFuck1).empty());
  EXPECT_TRUE(Scan(LayoutMode::kSpec).tables.rows(ResultTable::kFuck2).empty());
}

INSTANTIATE_TEST_SUITE_P(PageSizes, BigPageScanTest,
                         ::testing::Values(4096u, 8192u, 16384u, 65536u),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace orv
