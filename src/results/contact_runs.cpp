#include "results/contact_runs.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace orv {
namespace {

constexpr std::string_view kName = "Name";
constexpr std::string_view kTel = "Tel";

// A three-character number (a service number such as 110) belongs in the
// second number column; lengths count as on a GBK system.
bool IsShortNumber(const std::string& number) { return AnsiLength(number) == 3; }

// A row with one number; the other number column holds a single blank.
ListEntry SingleNumberEntry(const std::string& name, const std::string& number) {
  if (IsShortNumber(number)) return {name, " ", number};
  return {name, number, " "};
}

ListEntry PairEntry(const std::string& name, const std::string& first, const std::string& second) {
  if (IsShortNumber(first) && AnsiLength(first) != AnsiLength(second)) {
    return {name, second, first};
  }
  return {name, first, second};
}

// The preview rows of one run, whose members are split by their flag into
// names and numbers in the run list's order. Numbers go in pairs; pair i takes
// name i, the last name once the names run out, or a blank without names. An
// odd last number gets a row of its own with the name its pair would have had.
void AddRunEntries(const SortedEntryList& run, SortedEntryList& out) {
  std::vector<std::string> names;
  std::vector<std::string> numbers;
  for (const ListEntry& member : run.entries()) {
    if (member[1] == kName) names.push_back(member[0]);
    if (member[1] == kTel) numbers.push_back(member[0]);
  }
  if (numbers.empty()) return;
  if (names.size() > 1 && numbers.size() == 1) {
    for (const std::string& name : names) out.add(SingleNumberEntry(name, numbers[0]));
    return;
  }
  auto nameFor = [&names](std::size_t pair) {
    return names.empty() ? std::string(" ") : names[std::min(pair, names.size() - 1)];
  };
  std::size_t pair = 0;
  for (; 2 * pair + 1 < numbers.size(); ++pair) {
    out.add(PairEntry(nameFor(pair), numbers[2 * pair], numbers[2 * pair + 1]));
  }
  if (numbers.size() % 2 == 1) out.add(SingleNumberEntry(nameFor(pair), numbers.back()));
}

bool MakesContact(const TableRow& row) {
  const std::string& mark = CellOf(row, fuck1::kDel);
  return mark != fuck1::kOwnerMark && !IsOldVersionMark(mark);
}

}  // namespace

void AssembleContacts(const std::vector<TableRow>& rows, PreviewEntries& out,
                      const RowProgress& progress) {
  std::size_t start = 0;
  while (start < rows.size()) {
    if (progress) progress(start);
    const TableRow& first = rows[start];
    const std::string& flag = CellOf(first, fuck1::kFlag);
    // The owner's own card is no contact; an old version's newer one is listed.
    if ((flag != kName && flag != kTel) || !MakesContact(first)) {
      ++start;
      continue;
    }
    // The run: the first row and the following rows of the same raw contact
    // with the other flag.
    SortedEntryList run;
    run.add({CellOf(first, fuck1::kData1), flag});
    std::size_t next = start + 1;
    int followers = 0;
    while (next < rows.size() && followers < kMaxRunFollowers &&
           CellOf(rows[next], fuck1::kRawContactId) == CellOf(first, fuck1::kRawContactId) &&
           CellOf(rows[next], fuck1::kFlag) != flag && MakesContact(rows[next])) {
      run.add({CellOf(rows[next], fuck1::kData1), CellOf(rows[next], fuck1::kFlag)});
      ++followers;
      ++next;
    }
    SortedEntryList& target = out.listFor(CellOf(first, fuck1::kId));
    if (followers == 0) {
      // A lone number is a contact without a name; a lone name says nothing.
      if (flag == kTel) target.add({"", CellOf(first, fuck1::kData1), ""});
      ++start;
      continue;
    }
    AddRunEntries(run, target);
    // A run cut off at its limit hands its last member on to start the next.
    start = followers == kMaxRunFollowers ? next - 1 : next;
  }
}

}  // namespace orv
