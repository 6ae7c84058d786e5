// Scans of images holding databases of newer releases and vendor layouts,
// and decoys of other apps, with the layouts learned from the image.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "fixtures/memory_source.h"
#include "fixtures/phone_layouts.h"
#include "fixtures/sqlite_db.h"
#include "platform/stop_flag.h"
#include "results/contact_runs.h"
#include "scan/learned_recognition.h"
#include "scan/owner_profile.h"
#include "scan/record_tests.h"
#include "scan/recording_scan_view.h"
#include "scan/tscan.h"

namespace orv {
namespace {

using fixtures::SqliteDb;
using fixtures::Value;

constexpr std::int64_t kFirstDate = 1546300800000;  // 2019-01-01

std::vector<Value> Row(std::size_t width, const std::map<std::size_t, Value>& fields) {
  std::vector<Value> row(width);
  for (const auto& [column, value] : fields) row[column] = value;
  return row;
}

std::string Date(std::int64_t ms) { return *FormatRecordDate(std::to_string(ms)); }

const std::vector<std::string> kNames = {"Александр Петров", "Maximilian Schwarzenegger", "王小明",
                                         "Zoë Ångström-Núñez"};

struct Call {
  std::string number, name;
  std::int64_t date, duration, type;
};
struct Message {
  std::string address, body;
  std::int64_t date, type;
};

// calllog.db of a Pixel on Android 10: 48 columns, date at 5, type at 8.
std::vector<std::uint8_t> PixelCallLog(std::vector<Call>& calls) {
  SqliteDb db;
  db.exec(fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  db.exec(
      "CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY AUTOINCREMENT, "
      "source_package TEXT UNIQUE NOT NULL, phone_account_component_name TEXT)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 300; ++i) {
    Call call{"1380013" + std::to_string(1000 + i), kNames[i % kNames.size()],
              kFirstDate + i * 3600000LL, 30 + i, 1 + i % 6};
    rows.push_back(Row(48, {{1, call.number},
                            {2, std::int64_t{1}},
                            {5, call.date},
                            {6, call.duration},
                            {8, call.type},
                            {16, call.name}}));
    calls.push_back(call);
  }
  db.insertRows("calls", rows);
  return db.serialize();
}

// mmssms.db of a Samsung phone: 49-column sms beside threads and
// canonical_addresses. `companions` false makes a decoy of another app.
std::vector<std::uint8_t> SamsungMessages(std::vector<Message>& messages, bool companions,
                                          const std::string& prefix) {
  SqliteDb db;
  db.exec(fixtures::CreateTableSqlOf(fixtures::Samsung2021Sms()));
  if (companions) {
    db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY AUTOINCREMENT, date INTEGER)");
    db.exec(
        "CREATE TABLE canonical_addresses (_id INTEGER PRIMARY KEY AUTOINCREMENT, "
        "address TEXT)");
  }
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 250; ++i) {
    Message message{
        i % 5 == 0 ? prefix + "TD-Google" : prefix + "+7916" + std::to_string(2000000 + i),
        "Сообщение номер " + std::to_string(i) + ", see you at 5", kFirstDate + i * 60000LL,
        1 + i % 2};
    rows.push_back(Row(49, {{1, std::int64_t{1 + i % 7}},
                            {2, message.address},
                            {4, message.date},
                            {9, message.type},
                            {12, message.body}}));
    messages.push_back(message);
  }
  db.insertRows("sms", rows);
  return db.serialize();
}

// mmssms.db of an HTC phone on Android 2.2: 1 KiB pages, `toa` before the
// address.
std::vector<std::uint8_t> HtcMessages(std::vector<Message>& messages) {
  SqliteDb db;
  db.exec("PRAGMA page_size = 1024");
  db.exec(
      "CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER DEFAULT 0, "
      "message_count INTEGER DEFAULT 0, recipient_ids TEXT, snippet TEXT)");
  db.exec("CREATE TABLE canonical_addresses (_id INTEGER PRIMARY KEY AUTOINCREMENT, address TEXT)");
  db.exec(
      "CREATE TABLE sms (_id INTEGER PRIMARY KEY,thread_id INTEGER,toa INTEGER DEFAULT 0,"
      "address TEXT,person INTEGER,date INTEGER,protocol INTEGER,read INTEGER DEFAULT 0,"
      "status INTEGER DEFAULT -1,type INTEGER,reply_path_present INTEGER,subject TEXT,"
      "body TEXT,sc_toa INTEGER DEFAULT 0,report_date INTEGER,service_center TEXT,"
      "locked INTEGER DEFAULT 0,index_on_sim TEXT,callback_number TEXT,priority INTEGER "
      "DEFAULT -1)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 120; ++i) {
    Message message{"10086" + std::to_string(i), "HTC " + std::to_string(i),
                    1262304000000 + i * 1000LL, 2};
    rows.push_back(Row(20, {{1, std::int64_t{1 + i % 3}},
                            {2, std::int64_t{145}},
                            {3, message.address},
                            {5, message.date},
                            {7, std::int64_t{1}},
                            {8, std::int64_t{-1}},
                            {9, message.type},
                            {12, message.body}}));
    messages.push_back(message);
  }
  db.insertRows("sms", rows);
  return db.serialize();
}

// mmssms.db of an Android 2.x phone: the 16 AOSP columns and `deletable`,
// 1 KiB pages. The fixed layout takes its pages.
std::vector<std::uint8_t> OldMessages(std::vector<Message>& messages) {
  SqliteDb db;
  db.exec("PRAGMA page_size = 1024");
  db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER DEFAULT 0)");
  db.exec("CREATE TABLE canonical_addresses (_id INTEGER PRIMARY KEY AUTOINCREMENT, address TEXT)");
  db.exec(
      "CREATE TABLE sms (_id INTEGER PRIMARY KEY,thread_id INTEGER,address TEXT,person "
      "INTEGER,date INTEGER,protocol INTEGER,read INTEGER DEFAULT 0,status INTEGER DEFAULT "
      "-1,type INTEGER,reply_path_present INTEGER,subject TEXT,body TEXT,service_center "
      "TEXT,locked INTEGER DEFAULT 0,error_code INTEGER DEFAULT 0,seen INTEGER DEFAULT 0,"
      "deletable INTEGER DEFAULT 0)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 120; ++i) {
    Message message{"13912345" + std::to_string(100 + i), "old " + std::to_string(i),
                    1262304000000 + i * 1000LL, 1};
    rows.push_back(Row(17, {{1, std::int64_t{2}},
                            {2, message.address},
                            {4, message.date},
                            {5, std::int64_t{0}},
                            {6, std::int64_t{1}},
                            {7, std::int64_t{-1}},
                            {8, message.type},
                            {9, std::int64_t{0}},
                            {11, message.body}}));
    messages.push_back(message);
  }
  db.insertRows("sms", rows);
  return db.serialize();
}

// Google Messages' own database: a `messages` table with the same column names.
std::vector<std::uint8_t> BugleDb() {
  SqliteDb db;
  db.exec(
      "CREATE TABLE messages (_id INTEGER PRIMARY KEY, conversation_id INT, "
      "sender_id TEXT, address TEXT, date INT, type INT, body TEXT)");
  db.exec("CREATE TABLE parts (_id INTEGER PRIMARY KEY, message_id INT, text TEXT)");
  std::vector<std::vector<Value>> rows;
  for (int i = 0; i < 200; ++i)
    rows.push_back(Row(7, {{1, std::int64_t{1}},
                           {3, "BUGLE-" + std::to_string(i)},
                           {4, kFirstDate + i},
                           {5, std::int64_t{1}},
                           {6, "bugle body"}}));
  db.insertRows("messages", rows);
  return db.serialize();
}

struct Contact {
  std::int64_t rawContactId;
  std::string data1, flag;
};

struct MimetypeIds {
  std::int64_t phone, name, email;
};

// contacts2.db of Android 6.0+: data1 at 9 behind a hash_id text, with the
// mimetype ids given (the others other apps' mimetypes). Raw contact ids
// start at `first` + 2, apart from another database's; the ids of all rows
// count up from `idBase` (the owner's profile database's base, or 0).
std::vector<std::uint8_t> Contacts60(std::vector<Contact>& contacts, MimetypeIds ids, int first,
                                     std::int64_t idBase = 0) {
  SqliteDb db;
  db.exec(
      "CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id "
      "INTEGER, display_name TEXT)");
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype TEXT NOT NULL)");
  std::string data =
      "CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id "
      "INTEGER REFERENCES package(_id), mimetype_id INTEGER REFERENCES "
      "mimetype(_id) NOT NULL, raw_contact_id INTEGER REFERENCES raw_contacts(_id) "
      "NOT NULL, hash_id TEXT, is_read_only INTEGER NOT NULL DEFAULT 0, is_primary "
      "INTEGER NOT NULL DEFAULT 0, is_super_primary INTEGER NOT NULL DEFAULT 0, "
      "data_version INTEGER NOT NULL DEFAULT 0";
  for (int i = 1; i <= 15; ++i) data += ", data" + std::to_string(i) + " TEXT";
  for (int i = 1; i <= 4; ++i) data += ", data_sync" + std::to_string(i) + " TEXT";
  db.exec(data + ", carrier_presence INTEGER NOT NULL DEFAULT 0)");
  std::vector<std::vector<Value>> mimetypes;
  const std::int64_t last = std::max({ids.phone, ids.name, ids.email});
  for (std::int64_t id = 1; id <= last; ++id) {
    std::string name = "app" + std::to_string(id);
    if (id == ids.phone) name = "phone_v2";
    if (id == ids.name) name = "name";
    if (id == ids.email) name = "email_v2";
    mimetypes.push_back({id, "vnd.android.cursor.item/" + name});
  }
  db.insertRows("mimetypes", mimetypes);
  std::vector<std::vector<Value>> rows;
  for (int person = first; person < first + 80; ++person) {
    const std::int64_t raw = idBase + person + 2;
    const std::string name = kNames[person % kNames.size()] + " " + std::to_string(person);
    const std::string phone = "+86 138 0013 " + std::to_string(1000 + person);
    for (const auto& [mimetype, value] : std::vector<std::pair<std::int64_t, std::string>>{
             {ids.name, name},
             {ids.phone, phone},
             {ids.email, "p" + std::to_string(person) + "@example.com"}}) {
      // A hash as the provider keeps it: 28 characters of base64.
      const std::string hash = "hQ7vX2+kLm9pRt4sWz8yBn3cDe5" + std::to_string(person % 10);
      const Value id = idBase == 0 ? Value{} : Value{idBase + std::int64_t(rows.size()) + 1};
      rows.push_back(Row(29, {{0, id},
                              {2, mimetype},
                              {3, raw},
                              {4, hash},
                              {5, std::int64_t{0}},
                              {6, std::int64_t{0}},
                              {7, std::int64_t{0}},
                              {8, std::int64_t{0}},
                              {9, value},
                              {28, std::int64_t{0}}}));
      if (mimetype != ids.email)
        contacts.push_back({raw, value, mimetype == ids.phone ? "Tel" : "Name"});
    }
  }
  db.insertRows("data", rows);
  return db.serialize();
}

class LearnedScanTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::vector<std::uint8_t> image(64 * 1024, 0);
    auto lay = [&](const std::vector<std::uint8_t>& file) {
      image.resize((image.size() + 4095) / 4096 * 4096 + 4096, 0x5A);
      image.insert(image.end(), file.begin(), file.end());
    };
    std::vector<Message> decoys;
    lay(PixelCallLog(calls_));
    lay(SamsungMessages(messages_, true, ""));
    lay(HtcMessages(messages_));
    lay(OldMessages(oldMessages_));
    lay(SamsungMessages(decoys, false, "DECOY"));
    lay(BugleDb());
    lay(Contacts60(contacts_, {23, 24, 25}, 0));              // many apps: ids above 20
    lay(Contacts60(contacts_, {5, 7, 8}, 100));               // ids the fixed layout takes
    lay(Contacts60(owner_, {5, 7, 8}, 200, kProfileIdBase));  // profile.db: the owner's card
    image.resize(image.size() + 128 * 1024, 0);
    for (const LayoutMode mode : {LayoutMode::kSpec, LayoutMode::kLearned}) {
      ClearStop();
      ScanSettings settings{"image", ScanKind::kContactsCallsSms, mode};
      Tscan scan(settings, tables_[mode], views_[mode],
                 std::make_unique<fixtures::MemorySource>(image));
      ASSERT_EQ(scan.run(), ScanOutcome::kCompleted);
    }
  }

  static const std::vector<TableRow> Rows(ResultTable table,
                                          LayoutMode mode = LayoutMode::kLearned) {
    return tables_[mode].rows(table);
  }

  static inline std::vector<Call> calls_;
  static inline std::vector<Message> messages_;
  static inline std::vector<Contact> contacts_;
  static inline std::vector<Contact> owner_;
  static inline std::vector<Message> oldMessages_;
  static inline std::map<LayoutMode, ResultTables> tables_;
  static inline std::map<LayoutMode, RecordingScanView> views_;
};

TEST_F(LearnedScanTest, EveryCallOfAnAndroid10CallLogComesBackOnceWithItsFields) {
  std::map<std::string, TableRow> byId;
  for (const TableRow& row : Rows(ResultTable::kFuck2)) {
    EXPECT_TRUE(byId.emplace(row[fuck2::kId], row).second) << "twice: " << row[fuck2::kId];
  }
  ASSERT_EQ(byId.size(), calls_.size());
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    const TableRow& row = byId.at(std::to_string(i + 1));
    EXPECT_EQ(row[fuck2::kTel1], calls_[i].number);
    EXPECT_EQ(row[fuck2::kData], Date(calls_[i].date));
    EXPECT_EQ(row[fuck2::kDuration], std::to_string(calls_[i].duration));
    EXPECT_EQ(row[fuck2::kType], calls_[i].type == 1 ? "NoUser" : std::to_string(calls_[i].type));
    EXPECT_EQ(row[fuck2::kName], calls_[i].name);
    EXPECT_EQ(row[fuck2::kDel], "");
  }
  EXPECT_TRUE(Rows(ResultTable::kFuck2, LayoutMode::kSpec).empty());  // date behind 3 columns
}

TEST_F(LearnedScanTest, EveryMessageOfSamsungAndHtcTablesComesBackAndNoDecoyDoes) {
  std::map<std::string, TableRow> byId;
  std::set<std::string> old;
  for (const Message& m : oldMessages_) old.insert(m.address);
  for (const TableRow& row : Rows(ResultTable::kFuck3)) {
    if (old.count(row[fuck3::kTel1])) continue;  // the fixed layout's, with their own test
    EXPECT_EQ(row[fuck3::kTel1].find("DECOY"), std::string::npos);
    EXPECT_EQ(row[fuck3::kTel1].find("BUGLE"), std::string::npos);
    EXPECT_TRUE(byId.emplace(row[fuck3::kId] + "|" + row[fuck3::kTel1], row).second)
        << "twice: " << row[fuck3::kId];
  }
  ASSERT_EQ(byId.size(), messages_.size());
  for (std::size_t i = 0; i < messages_.size(); ++i) {
    // Two databases: ids 1.. of the Samsung one, then 1.. of the HTC one.
    const std::size_t samsung = 250;
    const std::string id = std::to_string(i < samsung ? i + 1 : i - samsung + 1);
    const TableRow& row = byId.at(id + "|" + messages_[i].address);
    EXPECT_EQ(row[fuck3::kTel1], messages_[i].address);
    EXPECT_EQ(row[fuck3::kData], Date(messages_[i].date));
    EXPECT_EQ(row[fuck3::kBody], messages_[i].body);
    EXPECT_EQ(row[fuck3::kSmsType],
              messages_[i].type == 1 ? "NoUser" : std::to_string(messages_[i].type));
  }
}

// The fixed layout carves 4096 bytes from each listed page's start: on 1 KiB
// pages that takes the next pages' live rows for deleted ones.
TEST_F(LearnedScanTest, LiveRowsOfSmallPagesAreNotTakenForDeletedOnes) {
  std::set<std::string> live;
  for (const Message& m : oldMessages_) live.insert(m.address);
  auto deletedLive = [&](LayoutMode mode) {
    std::size_t count = 0, listed = 0;
    for (const TableRow& row : Rows(ResultTable::kFuck3, mode)) {
      if (!live.count(row[fuck3::kTel1])) continue;
      if (row[fuck3::kDel] == "DEL")
        ++count;
      else
        ++listed;
    }
    EXPECT_EQ(listed, oldMessages_.size());
    return count;
  };
  EXPECT_GT(deletedLive(LayoutMode::kSpec), 0u);
  EXPECT_EQ(deletedLive(LayoutMode::kLearned), 0u);
}

TEST_F(LearnedScanTest, ContactsAreToldApartByTheirDatabasesMimetypes) {
  std::multiset<std::tuple<std::string, std::string, std::string>> found, expected;
  for (const TableRow& row : Rows(ResultTable::kFuck1))
    if (row[fuck1::kDel] != fuck1::kOwnerMark)
      found.insert({row[fuck1::kRawContactId], row[fuck1::kData1], row[fuck1::kFlag]});
  for (const Contact& c : contacts_)
    expected.insert({std::to_string(c.rawContactId), c.data1, c.flag});
  EXPECT_EQ(found, expected);
  // The fixed layout reads the hash as data1 and finds no number or name.
  EXPECT_TRUE(Rows(ResultTable::kFuck1, LayoutMode::kSpec).empty());
  std::size_t listedData = 0;
  for (const TableRow& row : Rows(ResultTable::kDbResult, LayoutMode::kSpec))
    if (row[db_result::kFlag] == "Data") ++listedData;
  EXPECT_GT(listedData, 0u);  // the second database's pages are listed all the same
}

TEST_F(LearnedScanTest, TheOwnersCardIsMarkedAsTheOwnersAndMakesNoContact) {
  std::multiset<std::tuple<std::string, std::string, std::string>> found, expected;
  for (const TableRow& row : Rows(ResultTable::kFuck1))
    if (row[fuck1::kDel] == fuck1::kOwnerMark)
      found.insert({row[fuck1::kRawContactId], row[fuck1::kData1], row[fuck1::kFlag]});
  for (const Contact& c : owner_)
    expected.insert({std::to_string(c.rawContactId), c.data1, c.flag});
  EXPECT_EQ(found, expected);
  PreviewEntries preview;
  AssembleContacts(Rows(ResultTable::kFuck1), preview, {});
  for (const ListEntry& entry : preview.normal.entries())
    for (const Contact& c : owner_) EXPECT_NE(entry[0], c.data1);
  const auto& log = views_[LayoutMode::kLearned].log;
  const std::string text = OwnerRowsText(owner_.size());
  EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                          [&](const std::string& line) { return line.ends_with("|" + text); }));
  for (const TableRow& row : Rows(ResultTable::kFuck1, LayoutMode::kSpec))
    EXPECT_NE(row[fuck1::kDel], fuck1::kOwnerMark);
}

TEST_F(LearnedScanTest, LearnedPagesAreMarkedAndEachLayoutIsLogged) {
  std::size_t learned = 0;
  for (const TableRow& row : Rows(ResultTable::kDbResult))
    if (row[db_result::kCntType] == kLearnedPageMark) ++learned;
  EXPECT_GT(learned, 10u);
  const auto& log = views_[LayoutMode::kLearned].log;
  auto logged = [&](const std::string& part) {
    for (const std::string& line : log)
      if (line.find(part) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(logged(",表calls,48列,来源:数据库结构,页数:"));
  EXPECT_TRUE(logged(",表sms,49列,来源:数据库结构,页数:"));
  EXPECT_TRUE(logged(",表data,29列,来源:数据库结构,页数:"));
  EXPECT_TRUE(logged(",表sms,20列,来源:数据库结构,页数:"));
  // Pages of a 1 KiB database end after 1 KiB.
  std::size_t small = 0;
  for (const TableRow& row : Rows(ResultTable::kDbResult))
    if (row[db_result::kFileLen] == "1024") ++small;
  EXPECT_GT(small, 3u);
  EXPECT_TRUE(logged(",记录数:" + std::to_string(calls_.size())));
  for (const std::string& line : views_[LayoutMode::kSpec].log)
    EXPECT_EQ(line.find("识别数据格式"), std::string::npos);
}

}  // namespace
}  // namespace orv
