#include "results/contact_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

struct DataRow {
  std::string id;
  std::string rawContact;
  std::string data1;
  std::string flag;
  std::string mark;  // the [DEL] cell of a live row
};

std::vector<TableRow> Fuck1Rows(const std::vector<DataRow>& rows) {
  ResultTables tables;
  for (const DataRow& row : rows) {
    tables.append(ResultTable::kFuck1, {row.id, "5", row.rawContact, row.data1, row.flag, "1",
                                        row.id == "-1" ? "DEL" : row.mark});
  }
  return tables.rows(ResultTable::kFuck1);
}

DataRow Name(std::string rawContact, std::string name, std::string id = "1") {
  return {std::move(id), std::move(rawContact), std::move(name), "Name", ""};
}
DataRow Tel(std::string rawContact, std::string number, std::string id = "1") {
  return {std::move(id), std::move(rawContact), std::move(number), "Tel", ""};
}

DataRow Owners(DataRow row) {
  row.mark = fuck1::kOwnerMark;
  return row;
}

struct ContactCase {
  const char* what;
  std::vector<DataRow> rows;
  std::vector<ListEntry> normal;
  std::vector<ListEntry> deleted;
};

const std::vector<ContactCase>& Cases() {
  static const std::vector<ContactCase> kCases = {
      {"numbers pair in the run list's sorted order",
       {Name("5", "王五"), Tel("5", "13800000000"), Tel("5", "10086")},
       {{"王五", "10086", "13800000000"}},
       {}},
      {"a three-digit number of a pair goes to the second column",
       {Name("5", "张三"), Tel("5", "110"), Tel("5", "13912345678")},
       {{"张三", "13912345678", "110"}},
       {}},
      {"two three-digit numbers keep their order",
       {Name("5", "张三"), Tel("5", "120"), Tel("5", "110")},
       {{"张三", "110", "120"}},
       {}},
      {"a single number: three digits go second, others first",
       {Name("5", "张三"), Tel("5", "110"), Name("6", "李四"), Tel("6", "13800000000")},
       {{"李四", "13800000000", " "}, {"张三", " ", "110"}},
       {}},
      {"the owner's own card makes no contact",
       {Owners(Name("9223372034707292162", "Me")),
        Owners(Tel("9223372034707292162", "13800000009")), Name("5", "张三"), Tel("5", "10086")},
       {{"张三", "10086", " "}},
       {}},
      {"an owner's row takes no part in a contact's run",
       {Name("5", "张三"), Owners(Tel("5", "13800000009")), Tel("5", "10086")},
       {{"", "10086", ""}},
       {}},
      {"names without numbers give nothing",
       {Name("5", "张三"), Name("5", "张三丰"), Name("6", "李四")},
       {},
       {}},
      {"numbers without a name are lone rows, the last row included",
       {Tel("5", "13800000000"), Tel("5", "10086")},
       {{"", "10086", ""}, {"", "13800000000", ""}},
       {}},
      {"a row of another contact splits a run",
       {Name("5", "张三"), Name("6", "李四"), Tel("5", "13800000000"), Name("8", "王五")},
       {{"", "13800000000", ""}},
       {}},
      {"one number and several names give a row per name",
       {Tel("5", "13800000000"), Name("5", "张三"), Name("5", "李四")},
       {{"李四", "13800000000", " "}, {"张三", "13800000000", " "}},
       {}},
      {"the run's first row decides deleted or normal",
       {Name("5", "张三", "-1"), Tel("5", "13800000000"), Tel("6", "10086"),
        Name("6", "李四", "-1")},
       {{"李四", "10086", " "}},
       {{"张三", "13800000000", " "}}},
      {"rows flagged neither Name nor Tel are passed over",
       {{"1", "5", "x", "", ""}, Tel("7", "13800000000"), {"1", "9", "y", "Other", ""}},
       {{"", "13800000000", ""}},
       {}},
      {"repeated members and repeated contacts show once",
       {Name("5", "张三"), Tel("5", "10086"), Tel("5", "10086"), Name("5", "张三"),
        Tel("5", "10086")},
       {{"张三", "10086", " "}},
       {}},
      {"a run stops after seven followers and its last member starts the next",
       {Name("5", "Li"), Tel("5", "13800000001"), Tel("5", "13800000002"), Tel("5", "13800000003"),
        Tel("5", "13800000004"), Tel("5", "13800000005"), Tel("5", "13800000006"),
        Tel("5", "13800000007"), Tel("5", "13800000008")},
       {{"", "13800000007", ""},
        {"", "13800000008", ""},
        {"Li", "13800000001", "13800000002"},
        {"Li", "13800000003", "13800000004"},
        {"Li", "13800000005", "13800000006"},
        {"Li", "13800000007", " "}},
       {}},
      {"the handed-on member takes the next name in",
       {Name("5", "Li"), Tel("5", "13800000001"), Tel("5", "13800000002"), Tel("5", "13800000003"),
        Tel("5", "13800000004"), Tel("5", "13800000005"), Tel("5", "13800000006"),
        Tel("5", "13800000007"), Name("5", "Wu")},
       {{"Li", "13800000001", "13800000002"},
        {"Li", "13800000003", "13800000004"},
        {"Li", "13800000005", "13800000006"},
        {"Li", "13800000007", " "},
        {"Wu", "13800000007", " "}},
       {}},
  };
  return kCases;
}

TEST(ContactRunsTest, AssemblesContactsFromRunsOfRows) {
  for (const ContactCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    PreviewEntries entries;
    AssembleContacts(Fuck1Rows(c.rows), entries, {});
    EXPECT_EQ(entries.normal.entries(), c.normal);
    EXPECT_EQ(entries.deleted.entries(), c.deleted);
  }
}

TEST(ContactRunsTest, ReportsEveryRowThatStartsARun) {
  std::vector<std::size_t> seen;
  PreviewEntries entries;
  AssembleContacts(Fuck1Rows({Name("5", "张三"), Tel("5", "10086"), Tel("6", "110")}), entries,
                   [&](std::size_t index) { seen.push_back(index); });
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 2}));
}

}  // namespace
}  // namespace orv
