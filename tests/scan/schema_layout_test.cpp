// Schema records read from pages SQLite wrote, CREATE TABLE statements
// parsed into stored columns, and the layouts mapped from them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/phone_layouts.h"
#include "fixtures/sqlite_db.h"
#include "scan/create_table.h"
#include "scan/schema_record.h"
#include "scan/table_layout.h"

namespace orv {
namespace {

using fixtures::SqliteDb;

std::uint32_t Big16(const std::vector<std::uint8_t>& f, std::size_t at) {
  return static_cast<std::uint32_t>(f[at] << 8 | f[at + 1]);
}

// The schema records of page 1 of `file` (a leaf page of the schema table),
// each cell given to the decoder up to the end of the page.
std::vector<SchemaRecord> PageOneRecords(const std::vector<std::uint8_t>& file) {
  std::uint32_t pageSize = Big16(file, 16);
  if (pageSize == 1) pageSize = kMaxPageBytes;
  EXPECT_EQ(file.at(100), 0x0D);
  const std::span<const std::uint8_t> page(file.data(), pageSize);
  std::vector<SchemaRecord> records;
  for (std::uint32_t i = 0; i < Big16(file, 103); ++i) {
    const std::uint32_t pointer = Big16(file, 108 + 2 * i);
    auto record = DecodeSchemaCell(page.subspan(pointer), pageSize);
    EXPECT_TRUE(record) << "cell " << i;
    if (record) records.push_back(*record);
  }
  return records;
}

std::vector<std::string> ColumnNames(const TableSchema& table) {
  std::vector<std::string> names;
  for (const ColumnSchema& column : table.columns) names.push_back(column.name);
  return names;
}

std::vector<std::string> Strings(const std::vector<std::string_view>& views) {
  return {views.begin(), views.end()};
}

TEST(SchemaRecordTest, RecordsOfASchemaPageGiveEveryTableItsColumnsInStoredOrder) {
  SqliteDb db;
  db.exec(fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  db.exec("CREATE INDEX calls_date ON calls(date)");
  db.exec("CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY, source_package TEXT)");
  // A column added by ALTER TABLE is stored after every older one.
  db.exec("ALTER TABLE voicemail_status ADD COLUMN \"quota occupied\" INTEGER DEFAULT -1");
  const auto records = PageOneRecords(db.serialize());
  ASSERT_EQ(records.size(), 4u);  // the table, its AUTOINCREMENT counter, an index, a table

  const SchemaRecord& calls = records[0];
  EXPECT_EQ(calls.type, "table");
  EXPECT_EQ(calls.name, "calls");
  EXPECT_EQ(calls.tblName, "calls");
  EXPECT_EQ(calls.rootPage, 2);
  EXPECT_TRUE(calls.sqlComplete);
  const auto table = ParseCreateTable(calls.sql);
  ASSERT_TRUE(table);
  EXPECT_TRUE(table->complete);
  EXPECT_EQ(ColumnNames(*table), Strings(fixtures::Pixel10Calls().columns));
  EXPECT_TRUE(table->columns[0].rowidAlias);

  EXPECT_EQ(records[2].type, "index");
  EXPECT_EQ(records[2].tblName, "calls");
  EXPECT_FALSE(ParseCreateTable(records[2].sql));

  const auto status = ParseCreateTable(records[3].sql);
  ASSERT_TRUE(status);
  EXPECT_EQ(ColumnNames(*status),
            (std::vector<std::string>{"_id", "source_package", "quota occupied"}));
  EXPECT_EQ(status->columns[2].affinity, Affinity::kInteger);
}

TEST(SchemaRecordTest, AStatementOverflowingASmallPageGivesThePartOnThePage) {
  SqliteDb db;
  db.exec("PRAGMA page_size = 1024");
  db.exec("VACUUM");
  db.exec(fixtures::CreateTableSqlOf(fixtures::Samsung2021Sms()));
  const auto file = db.serialize();
  ASSERT_EQ(Big16(file, 16), 1024u);
  const auto records = PageOneRecords(file);
  ASSERT_EQ(records.size(), 2u);  // the table and its AUTOINCREMENT counter
  EXPECT_FALSE(records[0].sqlComplete);
  EXPECT_LT(records[0].sql.size(), 1024u);
  // Exactly the bytes on the page: a start of the statement SQLite stored.
  const std::string created = fixtures::CreateTableSqlOf(fixtures::Samsung2021Sms());
  EXPECT_EQ(created.substr(0, records[0].sql.size()), records[0].sql);
  const auto table = ParseCreateTable(records[0].sql);
  ASSERT_TRUE(table);
  EXPECT_FALSE(table->complete);
  const auto all = Strings(fixtures::Samsung2021Sms().columns);
  ASSERT_GT(table->columns.size(), 2u);
  ASSERT_LT(table->columns.size(), all.size());
  EXPECT_EQ(ColumnNames(*table),
            std::vector<std::string>(
                all.begin(), all.begin() + static_cast<std::ptrdiff_t>(table->columns.size())));
  // A cut after the needed columns still gives a layout, its count left open.
  const auto cut = ParseCreateTable(created.substr(0, created.find("service_center")));
  ASSERT_TRUE(cut);
  const auto layout = MapTableLayout(*cut, LayoutSource::kSchema);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->minColumns, 13u);
  EXPECT_EQ(layout->maxColumns, kMaxTableColumns);
}

TEST(SchemaRecordTest, LocalPayloadFollowsTheOverflowRule) {
  // 4096-byte page: up to 4061 bytes stay on the page.
  EXPECT_EQ(LocalPayloadBytes(4061, 4096), 4061u);
  EXPECT_LT(LocalPayloadBytes(4062, 4096), 4062u);
  EXPECT_EQ(LocalPayloadBytes(989, 1024), 989u);
  EXPECT_LT(LocalPayloadBytes(990, 1024), 990u);
  EXPECT_GE(LocalPayloadBytes(990, 1024), (1024u - 12) * 32 / 255 - 23);
}

TEST(SchemaRecordTest, OtherRecordsAndCutCellsAreRefused) {
  // payload 9, rowid 1, header 6: text(1) "x" ×3, int 1, NULL... only four columns.
  const std::vector<std::uint8_t> fourColumns = {9, 1, 5, 15, 15, 15, 1, 'x', 'x', 'x', 2};
  EXPECT_FALSE(DecodeSchemaCell(fourColumns, 4096));
  // Five columns, but "xx" is no schema type.
  const std::vector<std::uint8_t> badType = {13, 1, 6, 17, 15, 15, 1, 0, 'x', 'x', 'a', 'b', 2};
  EXPECT_FALSE(DecodeSchemaCell(badType, 4096));
  // "view" with a NULL statement is a record.
  const std::vector<std::uint8_t> view = {14, 1, 6, 21, 15, 15, 8, 0, 'v', 'i', 'e', 'w', 'a', 'b'};
  const auto record = DecodeSchemaCell(view, 4096);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->type, "view");
  EXPECT_EQ(record->rootPage, 0);
  EXPECT_EQ(record->sql, "");
  // The same cell cut inside its names.
  EXPECT_FALSE(DecodeSchemaCell(std::span(view).first(12), 4096));
  EXPECT_FALSE(DecodeSchemaCell(view, 511));  // no page is that small
}

struct ParseCase {
  const char* sql;
  std::vector<std::string> names;  // empty: not a table statement
  std::vector<Affinity> affinities;
  int rowidAlias;  // index, or -1
  bool complete;
};

class CreateTableParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CreateTableParseTest, GivesTheStoredColumns) {
  const ParseCase& c = GetParam();
  const auto table = ParseCreateTable(c.sql);
  if (c.names.empty()) {
    EXPECT_FALSE(table) << c.sql;
    return;
  }
  ASSERT_TRUE(table) << c.sql;
  EXPECT_EQ(ColumnNames(*table), c.names);
  EXPECT_EQ(table->complete, c.complete);
  int alias = -1;
  for (std::size_t i = 0; i < table->columns.size(); ++i) {
    if (table->columns[i].rowidAlias) alias = static_cast<int>(i);
    if (i < c.affinities.size()) {
      EXPECT_EQ(table->columns[i].affinity, c.affinities[i]) << c.sql << " column " << i;
    }
  }
  EXPECT_EQ(alias, c.rowidAlias) << c.sql;
}

using A = Affinity;
INSTANTIATE_TEST_SUITE_P(
    Statements, CreateTableParseTest,
    ::testing::Values(
        ParseCase{"CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT NOT NULL DEFAULT '', c)",
                  {"a", "b", "c"},
                  {A::kInteger, A::kText, A::kBlob},
                  0,
                  true},
        ParseCase{"create table if not exists main.\"sms\" ([_id] integer primary key "
                  "autoincrement, `thread_id` INT, 'a,b' VARCHAR(20), d DOUBLE PRECISION, "
                  "e DECIMAL(10,5), f FLOATING POINT)",
                  {"_id", "thread_id", "a,b", "d", "e", "f"},
                  {A::kInteger, A::kInteger, A::kText, A::kReal, A::kNumeric, A::kInteger},
                  0,
                  true},
        // Constraints with nested parentheses, literals and comments.
        ParseCase{"CREATE TABLE t (x INTEGER CHECK (x IN (1, 2)) DEFAULT (')'), -- note, here\n"
                  "y TEXT COLLATE NOCASE /* ,z */, CONSTRAINT pk PRIMARY KEY (x ASC))",
                  {"x", "y"},
                  {A::kInteger, A::kText},
                  0,
                  true},
        // INT PRIMARY KEY and INTEGER PRIMARY KEY DESC are not the rowid.
        ParseCase{"CREATE TABLE t (a INT PRIMARY KEY, b)", {"a", "b"}, {}, -1, true},
        ParseCase{"CREATE TABLE t (a INTEGER PRIMARY KEY DESC, b)", {"a", "b"}, {}, -1, true},
        ParseCase{
            "CREATE TABLE t (a TEXT, b INTEGER, PRIMARY KEY (a, b))", {"a", "b"}, {}, -1, true},
        ParseCase{"CREATE TABLE t (a \"x\"\"y\" , \"q\"\"r\" TEXT)", {"a", "q\"r"}, {}, -1, true},
        // Cut statements keep the definitions that ended before the cut.
        ParseCase{
            "CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT, c INTEG", {"a", "b"}, {}, 0, false},
        ParseCase{"CREATE TABLE t (a INTEGER, b TEXT DEFAULT 'x, y", {"a"}, {}, -1, false},
        ParseCase{"CREATE TABLE t (a, b, ", {"a", "b"}, {}, -1, false},
        ParseCase{"CREATE TABLE t (a, b) WITHOUT ROWID", {}, {}, -1, true},
        ParseCase{"CREATE TABLE t AS SELECT 1", {}, {}, -1, true},
        ParseCase{"CREATE VIRTUAL TABLE t USING fts4(a)", {}, {}, -1, true},
        ParseCase{"CREATE TABLE t ()", {}, {}, -1, true},
        ParseCase{"CREATE TABLE t (a,,b)", {}, {}, -1, true},
        ParseCase{"CREATE TABLE", {}, {}, -1, true}, ParseCase{"", {}, {}, -1, true}));

TEST(TableLayoutTest, FieldsAreFoundByNameWhereverTheyAreStored) {
  const auto pixel = ParseCreateTable(fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  ASSERT_TRUE(pixel);
  const auto calls = MapTableLayout(*pixel, LayoutSource::kSchema);
  ASSERT_TRUE(calls);
  EXPECT_EQ(calls->table, LayoutTable::kCalls);
  using namespace layout_field;
  EXPECT_EQ(calls->field(kCallNumber), 1u);
  EXPECT_EQ(calls->field(kCallDate), 5u);
  EXPECT_EQ(calls->field(kCallDuration), 6u);
  EXPECT_EQ(calls->field(kCallType), 8u);
  EXPECT_EQ(calls->field(kCallName), 16u);
  EXPECT_EQ(calls->rowidColumn, 0u);
  EXPECT_EQ(calls->minColumns, 9u);  // the name is not needed
  EXPECT_EQ(calls->maxColumns, 48u);

  const auto samsung = ParseCreateTable(fixtures::CreateTableSqlOf(fixtures::Samsung2021Sms()));
  const auto sms = MapTableLayout(*samsung, LayoutSource::kSchema);
  ASSERT_TRUE(sms);
  EXPECT_EQ(sms->field(kSmsAddress), 2u);
  EXPECT_EQ(sms->field(kSmsDate), 4u);
  EXPECT_EQ(sms->field(kSmsType), 9u);
  EXPECT_EQ(sms->field(kSmsBody), 12u);
  EXPECT_EQ(sms->maxColumns, 49u);

  // A table of another name, or one lacking a needed column, has no layout.
  EXPECT_FALSE(MapTableLayout(*ParseCreateTable("CREATE TABLE messages (_id, address, date, "
                                                "type, body, thread_id)"),
                              LayoutSource::kSchema));
  EXPECT_FALSE(MapTableLayout(*ParseCreateTable("CREATE TABLE sms (_id, address, date, type, "
                                                "body)"),
                              LayoutSource::kSchema));
  const auto mimetypes = MapTableLayout(
      *ParseCreateTable("CREATE TABLE MimeTypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, "
                        "MIMETYPE TEXT NOT NULL)"),
      LayoutSource::kSchema);
  ASSERT_TRUE(mimetypes);
  EXPECT_EQ(mimetypes->field(kMimetypeName), 1u);
  // A name is optional in the call log.
  const auto noName =
      MapTableLayout(*ParseCreateTable("CREATE TABLE calls (_id, number, date, duration, type)"),
                     LayoutSource::kSchema);
  ASSERT_TRUE(noName);
  EXPECT_EQ(noName->field(kCallName), kNoField);
  EXPECT_EQ(noName->minColumns, 5u);
}

TEST(TableLayoutTest, BuiltInProfilesCoverTheKnownReleases) {
  using namespace layout_field;
  std::vector<std::size_t> callDates, smsDates, data1;
  for (const TableLayout& profile : BuiltInProfiles()) {
    EXPECT_EQ(profile.source, LayoutSource::kProfile);
    EXPECT_EQ(profile.maxColumns, kMaxTableColumns) << profile.name;
    EXPECT_EQ(profile.rowidColumn, 0u) << profile.name;
    if (profile.table == LayoutTable::kCalls) callDates.push_back(profile.field(kCallDate));
    if (profile.table == LayoutTable::kSms) smsDates.push_back(profile.field(kSmsDate));
    if (profile.table == LayoutTable::kData) data1.push_back(profile.field(kDataData1));
  }
  EXPECT_EQ(callDates, (std::vector<std::size_t>{2, 3, 3, 5}));
  EXPECT_EQ(smsDates, (std::vector<std::size_t>{4, 4, 5}));
  EXPECT_EQ(data1, (std::vector<std::size_t>{7, 8, 9}));
}

}  // namespace
}  // namespace orv
