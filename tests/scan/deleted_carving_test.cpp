#include "scan/deleted_carving.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/random.h"
#include "platform/clock.h"
#include "scan/freed_cells.h"
#include "scan/record_decoder.h"
#include "scan/varint.h"

namespace orv {
namespace {

using namespace freed;

ColumnParameters AllKinds() { return {kCallColumns, kDataColumns, kSmsColumns, kSmsDateColumn}; }

// A read buffer holding `cell` at `offset`.
Bytes BufferWith(const Bytes& cell, std::size_t offset, std::size_t size = kReadBufferBytes) {
  Bytes buffer(size);
  std::copy(cell.begin(), cell.end(), buffer.begin() + static_cast<std::ptrdiff_t>(offset));
  return buffer;
}

class RecordingView : public ScanView {
 public:
  struct Status {
    std::string text;
    std::size_t dataRows, callRows, smsRows;
  };
  explicit RecordingView(const ResultTables& tables) : tables_(tables) {}
  void addLogLine(const LogLine&) override {}
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int panel, const std::string& text) override {
    ASSERT_EQ(panel, 1);
    statuses.push_back({text, tables_.rowCount(ResultTable::kFuck1),
                        tables_.rowCount(ResultTable::kFuck2),
                        tables_.rowCount(ResultTable::kFuck3)});
  }
  void showMessage(const std::string&) override {}
  void setScanButtonsEnabled(bool) override {}

  std::vector<Status> statuses;

 private:
  const ResultTables& tables_;
};

class DeletedCarvingTest : public ::testing::Test {
 protected:
  // 2024-01-01 00:00 UTC in China.
  FixedClock clock_{{1704067200000, 8 * 3600}};
  ScopedClockOverride clockOverride_{clock_};
  ResultTables tables_;
  RecordingView view_{tables_};

  // The free-space carving over one free region [start, end) of the page at the buffer's start.
  void CarveRegion(const Bytes& buffer, std::uint32_t start, std::uint32_t end,
                   ColumnParameters params = AllKinds()) {
    CarveFreeRegions(buffer, {{start, end}}, "7", params, tables_);
  }
  // The abandoned-page carving over a page of type 0x05 at `pageOffset`.
  void CarvePage(const Bytes& buffer, std::size_t pageOffset, ColumnParameters params = AllKinds(),
                 std::uint8_t type = 0x05) {
    const std::size_t headerLength = type == 0x05 || type == 0x02 ? 12 : 8;
    CarveAbandonedPage(type, pageOffset + headerLength, buffer, 1000000 + pageOffset, pageOffset,
                       AnchorMask(buffer, params), params, tables_, view_);
  }
  std::size_t Rows(ResultTable table) const { return tables_.rowCount(table); }
};

TEST_F(DeletedCarvingTest, FreedCallCellGivesDeletedRow) {
  const Bytes cell = Hex("00 00 00 2E")                // freeblock header
                     + Hex("25 05 01 01 09 1B 01 00")  // number(12), date, duration, type, ...
                     + Text("861380013800")            // number
                     + Hex("01 2E AE 09 C8 00")        // 1300000000000
                     + Hex("3C 02") + Text("Zhang S")  // duration 60, type 2, name
                     + Hex("02");                      // numbertype
  CarveRegion(BufferWith(cell, 3000), 3000, 3100);

  ASSERT_EQ(Rows(ResultTable::kFuck2), 1u);
  EXPECT_EQ(tables_.row(ResultTable::kFuck2, 0),
            (TableRow{"1", "-1", "861380013800", "2011-03-13 15:06:40", "", "60", "DEL", "2",
                      "Zhang S", "Call", "7"}));
  EXPECT_EQ(Rows(ResultTable::kDbResult), 0u);
}

TEST_F(DeletedCarvingTest, CallNameBlanksOnlyTheCountryCode) {
  struct Case {
    Column name;
    std::string expected;
  };
  const Case cases[] = {{Str("CN"), ""},
                        {Str("中国"), "中国"},
                        {Null(), ""},
                        {Raw({0x17}, Hex("FF FF FF FF FF")), ""}};  // not UTF-8, short: kept empty
  for (const Case& c : cases) {
    tables_.clearAll();
    CarveRegion(BufferWith(FreedCell(CallColumns("13800138000", kMarch2011, c.name)), 500), 500,
                600);
    ASSERT_EQ(Rows(ResultTable::kFuck2), 1u) << c.expected;
    EXPECT_EQ(tables_.row(ResultTable::kFuck2, 0)[fuck2::kName], c.expected);
  }
}

TEST_F(DeletedCarvingTest, CallAnchorsThatFailTheirTestsWriteNothing) {
  struct Case {
    const char* what;
    std::vector<Column> columns;
    ColumnParameters params;
  };
  const Case cases[] = {
      {"letters for a number", CallColumns("abcdefghijkl", kMarch2011, Null()), AllKinds()},
      {"short number", CallColumns("12", kMarch2011, Null()), AllKinds()},
      {"date 2008-01-01", CallColumns("13800138000", kJanuary2008, Null()), AllKinds()},
      {"future date", CallColumns("13800138000", kYear2030, Null()), AllKinds()},
      {"call log unknown",
       CallColumns("13800138000", kMarch2011, Null()),
       {0, kDataColumns, kSmsColumns, kSmsDateColumn}},
      {"long name not UTF-8",
       CallColumns("13800138000", kMarch2011, Raw({0x23}, Hex("FF FF FF FF FF FF FF FF FF FF FF"))),
       AllKinds()},
      {"two-byte type above 4088", CallColumns("13800138000", kMarch2011, Raw(Hex("A0 00"), {})),
       AllKinds()},
      {"two-byte type below 12", CallColumns("13800138000", kMarch2011, Raw(Hex("80 0B"), {})),
       AllKinds()},
      {"two-byte type, long second byte",
       CallColumns("13800138000", kMarch2011, Raw(Hex("81 85"), {})), AllKinds()},
      {"negative date", CallColumns("13800138000", -kMarch2011, Null()), AllKinds()},
  };
  for (const Case& c : cases) {
    tables_.clearAll();
    CarveRegion(BufferWith(FreedCell(c.columns), 200), 200, 400, c.params);
    EXPECT_EQ(Rows(ResultTable::kFuck2), 0u) << c.what;
  }
}

TEST_F(DeletedCarvingTest, SearchResumesAfterTakenCallAndOneByteOnAfterRejectedOne) {
  // A complete call record, all bytes below 0x80, hidden inside another
  // record's name text.
  const Bytes inner = FreedCell(CallColumns("13911112222", 0x013F7F102030, Null()));
  const std::string innerText(inner.begin(), inner.end());
  for (const std::int64_t outerDate : {kMarch2011, kJanuary2008}) {
    tables_.clearAll();
    const Bytes outer = FreedCell(CallColumns("13800138000", outerDate, Str(innerText)));
    CarveRegion(BufferWith(outer, 1000), 1000, 1000 + static_cast<std::uint32_t>(outer.size()));
    const auto rows = tables_.rows(ResultTable::kFuck2);
    ASSERT_EQ(rows.size(), 1u);
    // Taken: the search skips the content, so the hidden record is not seen.
    // Rejected: the search goes on byte by byte and finds it.
    EXPECT_EQ(rows[0][fuck2::kTel1], outerDate == kMarch2011 ? "13800138000" : "13911112222");
  }
}

TEST_F(DeletedCarvingTest, MessageRecords) {
  struct Case {
    const char* what;
    std::vector<Column> columns;
    int dateColumn;
    bool row;
    std::string address, smsType, body;
  };
  std::vector<Column> dateLast = SmsColumns("10086", Null());
  dateLast.resize(4);  // thread_id, address, person, date
  std::vector<Column> noPerson = SmsColumns("10086", Str("Hello"));
  noPerson.erase(noPerson.begin() + 2);  // the date moves to column 3
  const std::string longBody(200, 'x');  // a two-byte serial type
  const Case cases[] = {
      {"body", SmsColumns("10086", Str("Hello from home")), 4, true, "10086", "2",
       "Hello from home"},
      {"long body", SmsColumns("+86 138 0013 8000", Str(longBody)), 4, true, "+86 138 0013 8000",
       "2", longBody},
      {"no body", SmsColumns("10086", Str("")), 4, false, "", "", ""},
      {"no body, date last", dateLast, 4, true, "10086", "", ""},
      {"address not a number", SmsColumns("China Mobile", Str("Hi")), 4, false, "", "", ""},
      {"date column 3", noPerson, 3, false, "", "", ""},
  };
  for (const Case& c : cases) {
    tables_.clearAll();
    const int columns = static_cast<int>(c.columns.size()) + 1;
    CarveRegion(BufferWith(FreedCell(c.columns), 700), 700, 1000, {0, 0, columns, c.dateColumn});
    ASSERT_EQ(Rows(ResultTable::kFuck3), c.row ? 1u : 0u) << c.what;
    if (!c.row) continue;
    EXPECT_EQ(tables_.row(ResultTable::kFuck3, 0),
              (TableRow{"1", "-1", c.address, "2011-03-13 15:06:40", c.smsType, "", c.body, "",
                        "DEL", "Sms", "7"}))
        << c.what;
  }
}

TEST_F(DeletedCarvingTest, ContactsDataRecords) {
  struct Case {
    const char* what;
    std::int64_t mimetype;
    Column rawContact;
    Column data1;
    const char* flag;  // none: no row
  };
  const Case cases[] = {
      {"phone", 5, Int(3, 1), Str("13912345678"), "Tel"},
      {"name", 7, Int(3, 1), Str("Zhang San"), "Name"},
      {"Chinese name", 7, Int(300, 2), Str("张三"), "Name"},
      {"mimetype 4", 4, Int(3, 1), Str("Zhang San"), nullptr},
      {"mimetype 21", 21, Int(3, 1), Str("Zhang San"), nullptr},
      {"negative mimetype", -5, Int(3, 1), Str("Zhang San"), nullptr},
      {"12 letters", 7, Int(3, 1), Str("Abcdefghijkl"), nullptr},
      {"raw contact NULL", 7, Null(), Str("Zhang San"), nullptr},
      {"no text", 7, Int(3, 1), Int(1, 1), nullptr},
  };
  for (const Case& c : cases) {
    tables_.clearAll();
    CarveRegion(BufferWith(FreedCell(DataColumns(c.mimetype, c.rawContact, c.data1)), 900), 900,
                1100);
    ASSERT_EQ(Rows(ResultTable::kFuck1), c.flag ? 1u : 0u) << c.what;
    if (!c.flag) continue;
    const TableRow row = tables_.row(ResultTable::kFuck1, 0);
    const std::string data1(c.data1.content.begin(), c.data1.content.end());
    const std::string rawContact = c.rawContact.content.size() == 1 ? "3" : "300";
    EXPECT_EQ(row, (TableRow{"1", "-1", std::to_string(c.mimetype), rawContact, data1, c.flag, "7",
                             "DEL"}))
        << c.what;
  }
}

TEST_F(DeletedCarvingTest, ContactsSearchResumesAtTheContentStart) {
  // data2 is a text that holds a whole second contacts record.
  const Bytes inner = FreedCell(DataColumns(5, Int(4, 1), Str("13700001111")));
  std::vector<Column> outer = DataColumns(7, Int(3, 1), Str("Li Lei"));
  outer[7] = Str(std::string(inner.begin(), inner.end()));
  const Bytes cell = FreedCell(outer);
  CarveRegion(BufferWith(cell, 300), 300, 300 + static_cast<std::uint32_t>(cell.size()));
  const auto rows = tables_.rows(ResultTable::kFuck1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][fuck1::kData1], "Li Lei");
  EXPECT_EQ(rows[1][fuck1::kData1], "13700001111");
}

TEST_F(DeletedCarvingTest, ReadsEndAtThePageEnd) {
  // A call cell whose last column may be replaced; the cell ends `beyond`
  // bytes past the page end, where the buffer goes on.
  struct Case {
    const char* what;
    Column last;
    std::size_t beyond;
    bool row;
  };
  const Case cases[] = {
      {"text inside", Str("abcdefghij"), 0, true},
      {"text past the end", Str("abcdefghij"), 1, false},
      {"BLOB past the end", Raw({0x20}, Bytes(10, 0xEE)), 10, true},
      {"date past the end", Null(), 4, false},  // duration, type and numbertype follow it
  };
  for (const Case& c : cases) {
    std::vector<Column> columns = CallColumns("13800138000", kMarch2011, Null());
    columns.back() = c.last;
    const Bytes cell = FreedCell(columns);
    const std::size_t inPage = cell.size() - c.beyond;

    tables_.clearAll();  // The free-space carving: the page is the buffer's first 4096 bytes
    const auto start = static_cast<std::uint32_t>(kPageBytes - inPage);
    CarveRegion(BufferWith(cell, start), start, 5000);
    EXPECT_EQ(Rows(ResultTable::kFuck2), c.row ? 1u : 0u) << c.what;

    tables_.clearAll();  // The abandoned-page carving: a page in the middle of the buffer
    CarvePage(BufferWith(cell, 20000 + start), 20000);
    EXPECT_EQ(Rows(ResultTable::kFuck2), c.row ? 1u : 0u) << c.what;
  }
}

TEST_F(DeletedCarvingTest, AnchorsNeverReachBeforeThePage) {
  // A message layout whose date is column 14, so its first serial type lies
  // 14 bytes before the date's; in a freed cell column c's type is at byte 3 + c.
  std::vector<Column> columns = SmsColumns("10086", Str("Hello"));
  columns.insert(columns.begin() + 2, 10, Constant(8));
  ASSERT_EQ(columns[13].content.size(), 6u);
  const ColumnParameters params{0, 0, static_cast<int>(columns.size()) + 1, 14};
  const Bytes cell = FreedCell(columns);
  const std::size_t page = 8000;
  // The date's type at page offset 10: the record would begin 4 bytes before the page.
  CarvePage(BufferWith(cell, page + 10 - 17), page, params, 0x0A);
  EXPECT_EQ(Rows(ResultTable::kFuck3), 0u);
  CarvePage(BufferWith(cell, page + 20 - 17), page, params, 0x0A);
  EXPECT_EQ(Rows(ResultTable::kFuck3), 1u);

  // The free-space carving: anchors at the page's first bytes.
  CarveRegion(BufferWith(Hex("25 05 01 01"), 0), 0, 4096);
  CarveRegion(BufferWith(Hex("00 01 01"), 0), 0, 4096);
  EXPECT_EQ(Rows(ResultTable::kFuck2) + Rows(ResultTable::kFuck1), 0u);
}

TEST_F(DeletedCarvingTest, FragmentRowOncePerPageInItsPlace) {
  const Bytes call = FreedCell(CallColumns("13800138000", kMarch2011, Str("Zhang S")));
  const Bytes sms = FreedCell(SmsColumns("10086", Str("Hi")));
  const Bytes data = FreedCell(DataColumns(5, Int(3, 1), Str("13912345678")));
  const std::size_t page = 5000;

  // Data first: the fragment row follows the first contacts row.
  Bytes buffer = BufferWith(data, page + 100);
  std::copy(call.begin(), call.end(), buffer.begin() + page + 600);
  std::copy(sms.begin(), sms.end(), buffer.begin() + page + 1100);
  std::copy(data.begin(), data.end(), buffer.begin() + page + 1600);
  tables_.append(ResultTable::kDbResult, {"0"});  // a page found earlier
  CarvePage(buffer, page);
  ASSERT_EQ(Rows(ResultTable::kDbResult), 2u);
  EXPECT_EQ(tables_.row(ResultTable::kDbResult, 1),
            (TableRow{"2", "1005000", "0,0,1,1,8,8,8,T,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", "26",
                      "1009096", "4096", "Data", "05", "", ""}));
  ASSERT_EQ(view_.statuses.size(), 1u);
  EXPECT_EQ(view_.statuses[0].text, "发现碎片数量:2");
  EXPECT_EQ(view_.statuses[0].dataRows, 1u);
  EXPECT_EQ(view_.statuses[0].callRows, 0u);
  EXPECT_EQ(Rows(ResultTable::kFuck1), 2u);
  EXPECT_EQ(tables_.row(ResultTable::kFuck1, 0)[fuck1::kDataResultNum], "2");
  EXPECT_EQ(tables_.row(ResultTable::kFuck2, 0)[fuck2::kDbResultNum], "2");
  EXPECT_EQ(tables_.row(ResultTable::kFuck3, 0)[fuck3::kDbResultNum], "2");

  // Call first: the fragment row comes before the call row.
  tables_.clearAll();
  view_.statuses.clear();
  buffer = BufferWith(call, page + 100);
  std::copy(data.begin(), data.end(), buffer.begin() + page + 600);
  CarvePage(buffer, page, AllKinds(), 0x0A);
  ASSERT_EQ(Rows(ResultTable::kDbResult), 1u);
  const TableRow fragment = tables_.row(ResultTable::kDbResult, 0);
  EXPECT_EQ(fragment[db_result::kZdType], "0,T,5,1,1,8,T,1,0");
  EXPECT_EQ(fragment[db_result::kFlag], "Call");
  EXPECT_EQ(fragment[db_result::kPageType], "0A");
  ASSERT_EQ(view_.statuses.size(), 1u);
  EXPECT_EQ(view_.statuses[0].callRows, 0u);

  // A message that passes its pre-test but has no row still marks the page.
  tables_.clearAll();
  CarvePage(BufferWith(FreedCell(SmsColumns("10086", Str(""))), page + 100), page);
  EXPECT_EQ(Rows(ResultTable::kDbResult), 1u);
  EXPECT_EQ(Rows(ResultTable::kFuck3), 0u);

  // A contacts record with no row does not.
  tables_.clearAll();
  CarvePage(BufferWith(FreedCell(DataColumns(4, Int(3, 1), Str("Zhang San"))), page + 100), page);
  EXPECT_EQ(Rows(ResultTable::kDbResult), 0u);
}

TEST_F(DeletedCarvingTest, AbandonedPageMustLieInTheBuffer) {
  const Bytes call = FreedCell(CallColumns("13800138000", kMarch2011, Null()));
  const std::size_t lastPage = kReadBufferBytes - kPageBytes;  // would end at 70144
  CarvePage(BufferWith(call, lastPage + 100), lastPage);
  EXPECT_EQ(Rows(ResultTable::kFuck2), 0u);
  CarvePage(BufferWith(call, lastPage + 99), lastPage - 1);
  EXPECT_EQ(Rows(ResultTable::kFuck2), 1u);
  CarvePage(BufferWith(call, 1100, 5000), 1000);  // the buffer ends before the page does
  EXPECT_EQ(Rows(ResultTable::kFuck2), 1u);
  CarvePage(BufferWith(call, 100, 70144), 0, ColumnParameters{});
  EXPECT_EQ(Rows(ResultTable::kFuck2), 1u);
}

// Real pages: tables laid out as on an Android 2.3 phone, written by SQLite
// without secure delete, some rows deleted.
class SqliteDatabase {
 public:
  explicit SqliteDatabase(const std::string& path) {
    std::remove(path.c_str());
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
  }
  ~SqliteDatabase() { sqlite3_close(db_); }
  void exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "") << " in " << sql;
    sqlite3_free(error);
  }
  int rootPage(const std::string& table) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'";
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    const int page = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    return page;
  }

 private:
  sqlite3* db_ = nullptr;
};

Bytes ReadPage(const std::string& path, int pageNumber) {
  std::ifstream file(path, std::ios::binary);
  Bytes page(kPageBytes);
  file.seekg(static_cast<std::streamoff>(pageNumber - 1) * kPageBytes);
  file.read(reinterpret_cast<char*>(page.data()), kPageBytes);
  EXPECT_TRUE(file) << "page " << pageNumber;
  return page;
}

// The bytes of a table leaf page outside its header, pointer array and live cells.
PageGaps FreeRegions(const Bytes& page) {
  EXPECT_EQ(page[0], 0x0D);
  const std::uint16_t cells = ReadBigEndian16(&page[3]);
  std::map<std::uint32_t, std::uint32_t> used = {{0, 8 + 2 * cells}};
  for (std::uint16_t i = 0; i < cells; ++i) {
    const std::uint16_t cell = ReadBigEndian16(&page[8 + 2 * i]);
    const auto payload = ReadShortVarint(page.data(), page.size(), cell, 9);
    const auto rowid = ReadShortVarint(page.data(), page.size(), cell + payload->length, 9);
    used[cell] =
        cell + payload->length + rowid->length + static_cast<std::uint32_t>(payload->value);
  }
  PageGaps gaps;
  std::uint32_t at = 0;
  for (const auto& [start, end] : used) {
    if (start > at) gaps.push_back({at, start});
    at = std::max(at, end);
  }
  if (at < kPageBytes) gaps.push_back({at, static_cast<std::uint32_t>(kPageBytes)});
  return gaps;
}

std::string DataColumnsSql() {
  std::string sql =
      "CREATE TABLE data (_id INTEGER PRIMARY KEY, package_id INTEGER, mimetype_id INTEGER, "
      "raw_contact_id INTEGER, is_primary INTEGER DEFAULT 0, is_super_primary INTEGER DEFAULT 0, "
      "data_version INTEGER DEFAULT 0";
  for (int i = 1; i <= 15; ++i) sql += ", data" + std::to_string(i) + " TEXT";
  for (int i = 1; i <= 4; ++i) sql += ", data_sync" + std::to_string(i) + " TEXT";
  return sql + ")";
}

std::string Digits(int i) { return "1380013800" + std::to_string(i % 10); }

TEST_F(DeletedCarvingTest, RealPagesGiveBackDeletedRows) {
  const std::string path = ::testing::TempDir() + "deleted_carving_test.db";
  {
    SqliteDatabase db(path);
    db.exec(
        "PRAGMA page_size = 4096; PRAGMA auto_vacuum = NONE; PRAGMA secure_delete = OFF; "
        "PRAGMA synchronous = OFF");
    db.exec(
        "CREATE TABLE calls (_id INTEGER PRIMARY KEY, number TEXT, date INTEGER, duration "
        "INTEGER, type INTEGER, new INTEGER, name TEXT, numbertype INTEGER, numberlabel TEXT)");
    db.exec(
        "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person "
        "INTEGER, date INTEGER, protocol INTEGER, read INTEGER DEFAULT 0, status INTEGER DEFAULT "
        "-1, type INTEGER, reply_path_present INTEGER, subject TEXT, body TEXT, service_center "
        "TEXT, locked INTEGER DEFAULT 0, error_code INTEGER DEFAULT 0, seen INTEGER DEFAULT 0)");
    db.exec(DataColumnsSql());
    for (int i = 1; i <= 12; ++i) {
      const std::string date = std::to_string(kMarch2011 + i * 3600000LL);
      db.exec("INSERT INTO calls VALUES (" + std::to_string(i) + ", '" + Digits(i) + "', " + date +
              ", " + std::to_string(i * 7) + ", " + std::to_string(1 + i % 3) + ", 1, " +
              (i % 2 ? "'Caller " + std::to_string(i) + "'" : "NULL") + ", 2, NULL)");
      db.exec("INSERT INTO sms VALUES (" + std::to_string(i) + ", 2, '" + Digits(i) + "', NULL, " +
              date + ", 0, 1, -1, " + std::to_string(1 + i % 2) + ", 0, NULL, 'Message number " +
              std::to_string(i) + "', NULL, 0, 0, 1)");
      db.exec("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (7, " +
              std::to_string(i + 1) + ", 'Name " + std::to_string(i) + "'), (5, " +
              std::to_string(i + 1) + ", '" + Digits(i) + "')");
    }
    db.exec("DELETE FROM calls WHERE _id IN (3, 8, 10)");
    db.exec("DELETE FROM sms WHERE _id IN (2, 9)");
    db.exec("DELETE FROM data WHERE raw_contact_id = 5");
    for (const char* table : {"calls", "sms", "data"}) {
      const Bytes page = ReadPage(path, db.rootPage(table));
      CarveFreeRegions(page, FreeRegions(page), table, {kCallColumns, 26, 16, 4}, tables_);
    }
  }
  std::remove(path.c_str());

  std::set<std::vector<std::string>> calls, messages, contacts;
  for (const TableRow& row : tables_.rows(ResultTable::kFuck2)) {
    calls.insert({row[fuck2::kId], row[fuck2::kTel1], row[fuck2::kData], row[fuck2::kDuration],
                  row[fuck2::kType], row[fuck2::kName], row[fuck2::kDel],
                  row[fuck2::kDbResultNum]});
  }
  for (const TableRow& row : tables_.rows(ResultTable::kFuck3)) {
    messages.insert({row[fuck3::kTel1], row[fuck3::kData], row[fuck3::kSmsType], row[fuck3::kBody],
                     row[fuck3::kDbResultNum]});
  }
  for (const TableRow& row : tables_.rows(ResultTable::kFuck1)) {
    contacts.insert({row[fuck1::kMimetypeId], row[fuck1::kRawContactId], row[fuck1::kData1],
                     row[fuck1::kFlag], row[fuck1::kDataResultNum]});
  }
  using Set = std::set<std::vector<std::string>>;
  // Type 1 is stored as the constant type 9, which reads "NoUser".
  EXPECT_EQ(
      calls,
      (Set{{"-1", Digits(3), "2011-03-13 18:06:40", "21", "NoUser", "Caller 3", "DEL", "calls"},
           {"-1", Digits(8), "2011-03-13 23:06:40", "56", "3", "", "DEL", "calls"},
           {"-1", Digits(10), "2011-03-14 01:06:40", "70", "2", "", "DEL", "calls"}}));
  EXPECT_EQ(messages, (Set{{Digits(2), "2011-03-13 17:06:40", "NoUser", "Message number 2", "sms"},
                           {Digits(9), "2011-03-14 00:06:40", "2", "Message number 9", "sms"}}));
  EXPECT_EQ(contacts,
            (Set{{"7", "5", "Name 4", "Name", "data"}, {"5", "5", Digits(4), "Tel", "data"}}));
}

// The carving of a block's overlapping pages with one AbandonedPageCarving
// against each page carved alone: the same rows in the same order, with
// every anchor position tested once.
class OverlappingPagesTest : public ::testing::Test {
 protected:
  FixedClock clock_{{1704067200000, 8 * 3600}};
  ScopedClockOverride clockOverride_{clock_};

  struct Carved {
    std::vector<std::vector<TableRow>> tables;
    std::vector<std::string> statuses;
  };

  static Carved Collect(const ResultTables& tables, const RecordingView& view) {
    Carved carved;
    for (const ResultTable table :
         {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3})
      carved.tables.push_back(tables.rows(table));
    for (const auto& status : view.statuses) carved.statuses.push_back(status.text);
    return carved;
  }

  // Carves the type 0x05 pages at `pages` (ascending) of `buffer` both ways;
  // returns the rows written page by page, and expects the same from the
  // shared carving.
  static Carved ExpectSameRows(const Bytes& buffer, const std::vector<std::size_t>& pages,
                               const ColumnParameters& params, std::size_t pageBytes = kPageBytes,
                               std::size_t* tested = nullptr) {
    const AnchorMask mask(buffer, params);
    ResultTables alone;
    RecordingView aloneView(alone);
    for (const std::size_t page : pages)
      CarveAbandonedPage(0x05, page + 12, buffer, 1000000 + page, page, mask, params, alone,
                         aloneView, pageBytes);
    ResultTables shared;
    RecordingView sharedView(shared);
    AbandonedPageCarving carving(buffer, params);
    for (const std::size_t page : pages)
      carving.carvePage(0x05, page + 12, 1000000 + page, page, shared, sharedView, pageBytes);
    const Carved expected = Collect(alone, aloneView);
    const Carved actual = Collect(shared, sharedView);
    EXPECT_EQ(actual.tables, expected.tables);
    EXPECT_EQ(actual.statuses, expected.statuses);
    if (tested) *tested = carving.testedPositions();
    return expected;
  }

  static std::vector<std::size_t> EveryHalfKilobyte(std::size_t from, std::size_t count) {
    std::vector<std::size_t> pages;
    for (std::size_t i = 0; i < count; ++i) pages.push_back(from + i * 512);
    return pages;
  }

  static std::size_t MarkedPositions(const AnchorMask& mask, std::size_t from, std::size_t to) {
    std::size_t marked = 0;
    for (std::size_t p = from; (p = mask.next(p, to)) < to; ++p) ++marked;
    return marked;
  }

  static void Put(Bytes& buffer, const Bytes& bytes, std::size_t at) {
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
  }
};

TEST_F(OverlappingPagesTest, EachAnchorTestedOnceWithTheRowsOfEveryPage) {
  Bytes buffer(kReadBufferBytes);
  const Bytes call = FreedCell(CallColumns("13800138000", kMarch2011, Str("Zhang S")));
  const Bytes sms = FreedCell(SmsColumns("10086", Str("Hi")));
  const Bytes data = FreedCell(DataColumns(5, Int(3, 1), Str("13912345678")));
  for (std::size_t at = 8300; at < 19000; at += 700) {
    Put(buffer, call, at);
    Put(buffer, sms, at + 200);
    Put(buffer, data, at + 450);
  }
  const std::vector<std::size_t> pages = EveryHalfKilobyte(8192, 16);
  std::size_t tested = 0;
  const Carved rows = ExpectSameRows(buffer, pages, AllKinds(), kPageBytes, &tested);
  // Every page yields its records: the overlapping pages' rows are all there.
  EXPECT_EQ(rows.tables[0].size(), pages.size());
  EXPECT_GT(rows.tables[2].size(), pages.size() * 2);
  // Each position the pages cover was tested once, not once per page.
  const AnchorMask mask(buffer, AllKinds());
  EXPECT_EQ(tested, MarkedPositions(mask, pages.front() + 12, pages.back() + kPageBytes));
}

TEST_F(OverlappingPagesTest, RecordsAtThePagesEdges) {
  // A call cell and a message cell (its first serial type 14 bytes before
  // its date's) placed at every offset around the end of one page and the
  // start of the next: inside one page and not the other, they must be taken
  // by that page only.
  std::vector<Column> smsColumns = SmsColumns("10086", Str("Hello"));
  smsColumns.insert(smsColumns.begin() + 2, 10, Constant(8));
  const ColumnParameters params{kCallColumns, 0, static_cast<int>(smsColumns.size()) + 1, 14};
  struct Case {
    const char* what;
    Bytes cell;
  };
  const Case cases[] = {
      {"call", FreedCell(CallColumns("13800138000", kMarch2011, Str("Zhang S")))},
      {"message", FreedCell(smsColumns)},
      {"call with a BLOB past the end",
       FreedCell(CallColumns("13800138000", kMarch2011, Raw({0x40}, Bytes(26, 0xEE))))},
  };
  const std::vector<std::size_t> pages = {20000, 20512, 21024};
  for (const Case& c : cases) {
    std::size_t taken = 0;
    for (std::size_t shift = 0; shift < c.cell.size() + 40; ++shift) {
      for (const std::size_t edge : {pages[0] + kPageBytes, pages[1] + 12}) {
        Bytes buffer(kReadBufferBytes);
        Put(buffer, c.cell, edge + 20 - shift);
        taken += ExpectSameRows(buffer, pages, params).tables[0].size();
      }
    }
    EXPECT_GT(taken, 0u) << c.what;
  }
}

TEST_F(OverlappingPagesTest, HostileAndRandomBytes) {
  // Anchor-like bytes with a page header every 512 bytes, and random bytes
  // drawn mostly from the values anchors and serial types are made of.
  const ColumnParameters params = AllKinds();
  const Bytes patterns[] = {Hex("00 01 00"), Hex("11 05 00 00"), Hex("25 05 01 01"),
                            Hex("03 15 00 00 05")};
  for (const Bytes& pattern : patterns) {
    Bytes buffer(kReadBufferBytes);
    for (std::size_t at = 0; at + pattern.size() <= buffer.size(); at += pattern.size())
      Put(buffer, pattern, at);
    ExpectSameRows(buffer, EveryHalfKilobyte(512, 120), params);
  }
  const Bytes alphabet = Hex("00 01 02 05 08 09 11 15 1B 25 31 33 38 81 82 FF 01 2E AE 09 C8");
  for (std::uint64_t seed = 1; seed <= 12; ++seed) {
    fixtures::Rng rng(seed);
    Bytes buffer(kReadBufferBytes);
    for (std::uint8_t& byte : buffer)
      byte = alphabet[static_cast<std::size_t>(
          rng.between(0, static_cast<std::int64_t>(alphabet.size()) - 1))];
    const Bytes call = FreedCell(CallColumns("13800138000", kMarch2011, Str("Zhang S")));
    for (int i = 0; i < 40; ++i) Put(buffer, call, static_cast<std::size_t>(rng.between(0, 60000)));
    std::vector<std::size_t> pages;
    for (std::size_t page = 0; page + kPageBytes < kReadBufferBytes;
         page += static_cast<std::size_t>(rng.between(1, 700)))
      pages.push_back(page);
    const std::size_t pageBytes = seed % 3 == 0 ? 1024 : kPageBytes;
    EXPECT_FALSE(ExpectSameRows(buffer, pages, params, pageBytes).tables[2].empty()) << seed;
  }
}

}  // namespace
}  // namespace orv
