#include "scan/table_layout.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace orv {
namespace {

struct FieldNames {
  LayoutTable table;
  const char* tableName;
  std::array<const char*, layout_field::kCount> columns;  // nullptr: no such field
  std::array<bool, layout_field::kCount> required;
};

constexpr FieldNames kFieldNames[] = {
    {LayoutTable::kCalls,
     "calls",
     {"number", "date", "duration", "type", "name"},
     {true, true, true, true, false}},
    {LayoutTable::kSms,
     "sms",
     {"thread_id", "address", "date", "type", "body"},
     {true, true, true, true, true}},
    {LayoutTable::kData,
     "data",
     {"mimetype_id", "raw_contact_id", "data1", nullptr, nullptr},
     {true, true, true, false, false}},
    {LayoutTable::kMimetypes,
     "mimetypes",
     {"_id", "mimetype", nullptr, nullptr, nullptr},
     {true, true, false, false, false}},
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Profiles are written as the start of a CREATE TABLE statement, left open
// so the parser marks the column count unknown.
struct Profile {
  const char* name;
  const char* sql;
};

constexpr Profile kProfiles[] = {
    {"calls (Android 2.x-4.3)",
     "CREATE TABLE calls (_id INTEGER PRIMARY KEY,number TEXT,date INTEGER,duration INTEGER,"
     "type INTEGER,new INTEGER,name TEXT,numbertype INTEGER,numberlabel TEXT,"},
    {"calls (Android 4.4)",
     "CREATE TABLE calls (_id INTEGER PRIMARY KEY,number TEXT,presentation INTEGER,date INTEGER,"
     "duration INTEGER,type INTEGER,new INTEGER,name TEXT,numbertype INTEGER,numberlabel TEXT,"},
    {"calls (Android 5.0-6.0)",
     "CREATE TABLE calls (_id INTEGER PRIMARY KEY,number TEXT,presentation INTEGER,date INTEGER,"
     "duration INTEGER,data_usage INTEGER,type INTEGER,features INTEGER,"},
    {"calls (Android 7.0+)",
     "CREATE TABLE calls (_id INTEGER PRIMARY KEY,number TEXT,presentation INTEGER,"
     "post_dial_digits TEXT,via_number TEXT,date INTEGER,duration INTEGER,data_usage INTEGER,"
     "type INTEGER,features INTEGER,"},
    {"sms (Android 2.x)",
     "CREATE TABLE sms (_id INTEGER PRIMARY KEY,thread_id INTEGER,address TEXT,person INTEGER,"
     "date INTEGER,protocol INTEGER,read INTEGER,status INTEGER,type INTEGER,"
     "reply_path_present INTEGER,subject TEXT,body TEXT,service_center TEXT,locked INTEGER,"},
    {"sms (Android 4.0+)",
     "CREATE TABLE sms (_id INTEGER PRIMARY KEY,thread_id INTEGER,address TEXT,person INTEGER,"
     "date INTEGER,date_sent INTEGER,protocol INTEGER,read INTEGER,status INTEGER,type INTEGER,"
     "reply_path_present INTEGER,subject TEXT,body TEXT,service_center TEXT,locked INTEGER,"},
    {"sms (toa)",
     "CREATE TABLE sms (_id INTEGER PRIMARY KEY,thread_id INTEGER,toa INTEGER,address TEXT,"
     "person INTEGER,date INTEGER,protocol INTEGER,read INTEGER,status INTEGER,type INTEGER,"
     "reply_path_present INTEGER,subject TEXT,body TEXT,"},
    {"data (Android 2.x)",
     "CREATE TABLE data (_id INTEGER PRIMARY KEY,package_id INTEGER,mimetype_id INTEGER,"
     "raw_contact_id INTEGER,is_primary INTEGER,is_super_primary INTEGER,data_version INTEGER,"
     "data1 TEXT,"},
    {"data (Android 4.0-5.0)",
     "CREATE TABLE data (_id INTEGER PRIMARY KEY,package_id INTEGER,mimetype_id INTEGER,"
     "raw_contact_id INTEGER,is_read_only INTEGER,is_primary INTEGER,is_super_primary INTEGER,"
     "data_version INTEGER,data1 TEXT,"},
    {"data (Android 6.0+)",
     "CREATE TABLE data (_id INTEGER PRIMARY KEY,package_id INTEGER,mimetype_id INTEGER,"
     "raw_contact_id INTEGER,hash_id TEXT,is_read_only INTEGER,is_primary INTEGER,"
     "is_super_primary INTEGER,data_version INTEGER,data1 TEXT,"},
};

std::vector<TableLayout> MakeProfiles() {
  std::vector<TableLayout> profiles;
  for (const Profile& profile : kProfiles) {
    auto table = ParseCreateTable(profile.sql);
    if (!table) continue;  // every profile parses; the tests make sure
    if (auto layout = MapTableLayout(*table, LayoutSource::kProfile)) {
      layout->name = profile.name;
      profiles.push_back(std::move(*layout));
    }
  }
  return profiles;
}

}  // namespace

const char* LayoutTableName(LayoutTable table) {
  for (const FieldNames& names : kFieldNames)
    if (names.table == table) return names.tableName;
  return "";
}

std::optional<TableLayout> MapTableLayout(const TableSchema& table, LayoutSource source) {
  const auto names =
      std::find_if(std::begin(kFieldNames), std::end(kFieldNames),
                   [&](const FieldNames& n) { return SameName(n.tableName, table.name); });
  if (names == std::end(kFieldNames)) return std::nullopt;
  TableLayout layout;
  layout.table = names->table;
  layout.source = source;
  layout.name = table.name;
  std::size_t lastNeeded = 0;
  for (std::size_t f = 0; f < layout_field::kCount; ++f) {
    layout.fields[f] = kNoField;
    if (names->columns[f] == nullptr) continue;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
      if (SameName(table.columns[c].name, names->columns[f])) {
        layout.fields[f] = c;
        break;
      }
    if (layout.fields[f] == kNoField) {
      if (names->required[f]) return std::nullopt;
      continue;
    }
    if (names->required[f]) lastNeeded = std::max(lastNeeded, layout.fields[f]);
  }
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    layout.affinities.push_back(table.columns[c].affinity);
    if (table.columns[c].rowidAlias) layout.rowidColumn = c;
  }
  layout.minColumns = lastNeeded + 1;
  layout.maxColumns = table.complete ? table.columns.size() : kMaxTableColumns;
  return layout;
}

const std::vector<TableLayout>& BuiltInProfiles() {
  static const std::vector<TableLayout> profiles = MakeProfiles();
  return profiles;
}

}  // namespace orv
