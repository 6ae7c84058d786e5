// The pieces of learned recognition on hand-made records: value checks at
// their limits, the 80 % rule, descriptors, and databases kept apart.

#include <gtest/gtest.h>

#include <cstring>

#include "scan/learned_recognition.h"
#include "scan/learned_rows.h"
#include "scan/owner_profile.h"
#include "scan/page_descriptor.h"
#include "scan/schema_catalog.h"
#include "scan/varint.h"

namespace orv {
namespace {

TableLayout Layout(const char* sql) {
  return *MapTableLayout(*ParseCreateTable(sql), LayoutSource::kSchema);
}

const char* const kCallsSql =
    "CREATE TABLE calls (_id INTEGER PRIMARY KEY, number TEXT, presentation INTEGER, date "
    "INTEGER, duration INTEGER, type INTEGER, new INTEGER, name TEXT)";

// A call record as Module I gives it: rowid first, stored NULL.
DecodedRecord Call(std::string date, std::string type = "2", char typeLabel = '1') {
  DecodedRecord r;
  r.append('0', 0, "7");
  r.append('T', 11, "13800138000");
  r.append('8', 0, "NoUser");
  r.append('5', 6, std::move(date));
  r.append('2', 2, "300");
  r.append(typeLabel, 1, std::move(type));
  r.append('8', 0, "NoUser");
  r.append('T', 8, "Анна");
  return r;
}

struct FitCase {
  DecodedRecord record;
  bool fits;
  const char* why;
};

TEST(LearnedRowsTest, ValueChecksHoldAtTheirLimits) {
  const TableLayout calls = Layout(kCallsSql);
  DecodedRecord shorter = Call("1546300800000");
  shorter.labels.pop_back();
  shorter.sizes.pop_back();
  shorter.values.pop_back();  // written before `name` was added: still a call
  ASSERT_EQ(shorter.columnCount(), 7u);
  DecodedRecord tooShort = shorter;
  tooShort.labels.pop_back();
  tooShort.sizes.pop_back();
  tooShort.values.pop_back();
  tooShort.labels.pop_back();
  tooShort.sizes.pop_back();
  tooShort.values.pop_back();  // no type
  DecodedRecord integerRowid = Call("1546300800000");
  integerRowid.labels[0] = '1';
  DecodedRecord numberAsInteger = Call("1546300800000");
  numberAsInteger.labels[1] = '4';
  const FitCase cases[] = {
      {Call("946684800000"), true, "first millisecond of 2000"},
      {Call("946684799999"), false, "last millisecond of 1999"},
      {Call("2082758399999"), true, "last millisecond of 2035"},
      {Call("2082758400000"), false, "first millisecond of 2036"},
      {Call("1546300800000", "127"), true, "largest type code"},
      {Call("1546300800000", "128", '2'), false, "type code too large"},
      {Call("1546300800000", "NoUser", '8'), true, "type stored as the constant 1"},
      {shorter, true, "one column short"},
      {tooShort, false, "the type column missing"},
      {integerRowid, false, "rowid alias not stored as NULL"},
      {numberAsInteger, false, "integer in a TEXT column"},
  };
  for (const FitCase& c : cases) EXPECT_EQ(RecordFits(c.record, calls, {}), c.fits) << c.why;
}

TEST(LearnedRowsTest, FieldsAreReadAtTheirLearnedPositions) {
  const auto row = MakeLearnedRow(Call("1546300800000"), Layout(kCallsSql), {}, "12");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->table, ResultTable::kFuck2);
  EXPECT_EQ(row->cells, (std::vector<std::string>{"7", "13800138000", "2019-01-01 08:00:00", "",
                                                  "300", "", "2", "Анна", "Call", "12"}));
}

TEST(LearnedRowsTest, ContactRowsFollowTheMimetypeAndNeedAKnownOne) {
  const TableLayout data = Layout(
      "CREATE TABLE data (_id INTEGER PRIMARY KEY, package_id INTEGER, mimetype_id "
      "INTEGER, raw_contact_id INTEGER, data1 TEXT)");
  const MimetypeNames mimetypes = {{21, "vnd.android.cursor.item/phone_v2"},
                                   {6, "vnd.android.cursor.item/name"},
                                   {22, "vnd.android.cursor.item/email_v2"}};
  auto record = [](std::string mimetype, std::string data1) {
    DecodedRecord r;
    r.append('0', 0, "40");
    r.append('0', 0, "Null");
    r.append('1', 1, std::move(mimetype));
    r.append('1', 1, "9");
    r.append('T', data1.size(), std::move(data1));
    return r;
  };
  // A name that the name test refuses is still a name by its mimetype.
  const auto name = MakeLearnedRow(record("6", "Maximilian Alexander"), data, mimetypes, "3");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->cells,
            (std::vector<std::string>{"40", "6", "9", "Maximilian Alexander", "Name", "3", ""}));
  EXPECT_EQ(MakeLearnedRow(record("21", "TD-Google"), data, mimetypes, "3")->cells[4], "Tel");
  EXPECT_FALSE(MakeLearnedRow(record("22", "a@b.c"), data, mimetypes, "3"));
  EXPECT_TRUE(RecordFits(record("22", "a@b.c"), data, mimetypes));
  EXPECT_FALSE(RecordFits(record("23", "x"), data, mimetypes));  // no such mimetype here
  EXPECT_TRUE(RecordFits(record("23", "x"), data, {}));          // none known: any id
}

PageRecords PageOf(std::size_t fitting, std::size_t others) {
  PageRecords page;
  for (std::size_t i = 0; i < fitting; ++i) page.records.push_back({Call("1546300800000"), 40});
  for (std::size_t i = 0; i < others; ++i) page.records.push_back({Call("5"), 40});
  return page;
}

TEST(LearnedRecognitionTest, APageIsListedWhenFourFifthsOfItsCellsFit) {
  struct Case {
    std::size_t fitting, others, cells;
    bool listed;
  } const cases[] = {{4, 1, 5, true},  {3, 1, 4, false}, {4, 0, 5, true},
                     {3, 0, 4, false}, {8, 2, 10, true}, {7, 3, 10, false}};
  for (const Case& c : cases) {
    LearnedRecognition learned;
    // No schema anywhere: the built-in profiles apply, among them the 4.4 call log.
    ResultTables tables;
    learned.learn();
    learned.recognisePage(8192, PageOf(c.fitting, c.others), c.cells, tables);
    EXPECT_EQ(tables.rows(ResultTable::kDbResult).size(), c.listed ? 1u : 0u)
        << c.fitting << " of " << c.cells;
    EXPECT_EQ(tables.rows(ResultTable::kFuck2).size(), c.listed ? c.fitting : 0u);
  }
}

TEST(SchemaCatalogTest, HeadersGiveThePageSizeAndSplitTheImageIntoDatabases) {
  auto header = [](std::uint8_t high, std::uint8_t low) {
    std::vector<std::uint8_t> bytes(100, 0);
    std::memcpy(bytes.data(), "SQLite format 3", 16);
    bytes[16] = high;
    bytes[17] = low;
    return bytes;
  };
  EXPECT_EQ(HeaderPageBytes(header(0x04, 0x00)), 1024u);
  EXPECT_EQ(HeaderPageBytes(header(0x02, 0x00)), 512u);
  EXPECT_EQ(HeaderPageBytes(header(0x00, 0x01)), 65536u);
  EXPECT_FALSE(HeaderPageBytes(header(0x01, 0x00)));  // 256
  EXPECT_FALSE(HeaderPageBytes(header(0x06, 0x00)));  // not a power of two
  auto notMagic = header(0x10, 0x00);
  notMagic[15] = 'x';
  EXPECT_FALSE(HeaderPageBytes(notMagic));

  SchemaCatalog catalog;
  EXPECT_TRUE(catalog.noteHeader(4096, header(0x10, 0x00)));
  EXPECT_TRUE(catalog.noteHeader(1 << 20, header(0x04, 0x00)));
  EXPECT_EQ(catalog.databaseAt(0), 0u);  // before any header
  EXPECT_EQ(catalog.databaseAt(4095), 0u);
  EXPECT_EQ(catalog.databaseAt(4096), 1u);
  EXPECT_EQ(catalog.databaseAt((1 << 20) - 1), 1u);
  EXPECT_EQ(catalog.databaseAt(1 << 20), 2u);
  EXPECT_EQ(catalog.databases()[2].pageBytes, 1024u);
  catalog.noteMimetype(8192, 5, "vnd.android.cursor.item/phone_v2");
  EXPECT_EQ(catalog.databases()[1].mimetypes.size(), 1u);
  EXPECT_TRUE(catalog.databases()[2].mimetypes.empty());
}

TEST(SchemaCatalogTest, ATableCountsOnlyBesideItsProvidersCompanions) {
  auto table = [](const std::string& sql, const std::string& name) {
    return SchemaRecord{"table", name, name, 2, sql, true};
  };
  const std::string sms =
      "CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, date "
      "INTEGER, type INTEGER, body TEXT)";
  SchemaCatalog catalog;
  std::vector<std::uint8_t> header(100, 0);
  std::memcpy(header.data(), "SQLite format 3", 16);
  header[16] = 0x10;
  catalog.noteHeader(0, header);
  catalog.noteSchemaRecord(100, table(sms, "sms"));
  catalog.noteSchemaRecord(100, table("CREATE TABLE threads (_id INTEGER PRIMARY KEY)", "threads"));
  catalog.noteHeader(65536, header);  // a second database: an app's own sms table
  catalog.noteSchemaRecord(65636, table(sms, "sms"));
  catalog.noteSchemaRecord(65636,
                           table("CREATE TABLE canonical_addresses (_id)", "canonical_addresses"));
  EXPECT_TRUE(catalog.layouts().empty());  // each lacks one companion
  catalog.noteSchemaRecord(200,
                           table("CREATE TABLE canonical_addresses (_id)", "canonical_addresses"));
  const auto layouts = catalog.layouts();
  ASSERT_EQ(layouts.size(), 1u);
  EXPECT_EQ(layouts[0].database, 0u);
  EXPECT_EQ(layouts[0].layout.table, LayoutTable::kSms);
}

TEST(PageDescriptorTest, TheShapeRulesOutLayoutsTheColumnsCannotHold) {
  const TableLayout calls = Layout(kCallsSql);
  PageRecords page = PageOf(2, 0);
  EXPECT_TRUE(MayFit(DescribePage(0, page), calls));
  page.records[0].record.labels[3] = 'T';             // a text where the date should be...
  EXPECT_TRUE(MayFit(DescribePage(0, page), calls));  // ...on one record only
  page.records[1].record.labels[3] = 'T';
  EXPECT_FALSE(MayFit(DescribePage(0, page), calls));
  const PageDescriptor wide = DescribePage(0, PageOf(1, 0));
  EXPECT_EQ(wide.minColumns, 8);
  EXPECT_EQ(wide.maxColumns, 8);
  PageRecords narrow;
  DecodedRecord five = Call("1546300800000");
  five.labels.resize(5);
  narrow.records.push_back({five, 10});
  EXPECT_FALSE(MayFit(DescribePage(0, narrow), calls));  // ends before the type column
  EXPECT_LE(sizeof(PageDescriptor), 32u);
}

TEST(OwnerProfileTest, RowsAtOrAboveTheProfileBaseAreTheOwners) {
  const std::string below = std::to_string(kProfileIdBase - 1);
  const std::string base = std::to_string(kProfileIdBase);
  struct Case {
    std::string id, rawContact;
    bool owner;
  };
  for (const Case& c : std::vector<Case>{{below, below, false},
                                         {base, below, true},
                                         {below, base, true},
                                         {"-1", base, true},
                                         {"7", "NoUser", false}}) {
    TableRow row(ResultTableColumns(ResultTable::kFuck1).size());
    row[fuck1::kId] = c.id;
    row[fuck1::kRawContactId] = c.rawContact;
    EXPECT_EQ(IsOwnerRow(row), c.owner) << c.id << " " << c.rawContact;
  }
  ResultTables tables;
  tables.append(ResultTable::kFuck1, {base, "5", base, "Me", "Name", "1", ""});
  tables.append(ResultTable::kFuck1, {"-1", "5", base, "Me", "Name", "1", "DEL"});
  tables.append(ResultTable::kFuck1, {"3", "5", "2", "Li", "Name", "1", ""});
  EXPECT_EQ(MarkOwnerRows(tables), 1u);
  std::vector<std::string> marks;
  for (const TableRow& row : tables.rows(ResultTable::kFuck1)) marks.push_back(row[fuck1::kDel]);
  EXPECT_EQ(marks, (std::vector<std::string>{"Owner", "DEL", ""}));
}

TEST(VarintTest, TheFullFormTakesAllEightBitsOfItsNinthByte) {
  const std::vector<std::uint8_t> longest(9, 0xFF);
  const auto full = ReadFullVarint(longest.data(), longest.size(), 0);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->value, UINT64_MAX);
  EXPECT_EQ(full->length, 9u);
  EXPECT_FALSE(ReadFullVarint(longest.data(), 8, 0));  // its ninth byte is missing
  EXPECT_FALSE(ReadShortVarint(longest.data(), longest.size(), 0, 5));
  const std::vector<std::uint8_t> eight = {0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
  const auto shorter = ReadFullVarint(eight.data(), eight.size(), 0);
  ASSERT_TRUE(shorter);
  EXPECT_EQ(shorter->value, std::uint64_t{1} << 49);
  EXPECT_EQ(shorter->length, 8u);
}

}  // namespace
}  // namespace orv
