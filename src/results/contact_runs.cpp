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
  run.forEach([&](const ListEntry& member) {
    if (member[1] == kName) names.push_back(member[0]);
    if (member[1] == kTel) numbers.push_back(member[0]);
  });
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

// The owner's own card is no contact; an old version's newer one is listed.
bool MakesContact(const RowView& row) {
  const std::string_view mark = row[fuck1::kDel];
  return mark != fuck1::kOwnerMark && !IsOldVersionMark(mark);
}

}  // namespace

bool ContactRuns::add(const RowView& row) {
  if (running_) {
    // The run takes in the following rows of the same raw contact with the
    // other flag.
    if (row[fuck1::kRawContactId] == rawContact_ && row[fuck1::kFlag] != flag_ &&
        MakesContact(row)) {
      members_.add({std::string(row[fuck1::kData1]), std::string(row[fuck1::kFlag])});
      // A run cut off at its limit hands its last member on to start the next.
      if (++followers_ < kMaxRunFollowers) return false;
    }
    endRun();
  }
  start(row);
  return true;
}

void ContactRuns::finish() {
  if (running_) endRun();
}

void ContactRuns::start(const RowView& row) {
  const std::string_view flag = row[fuck1::kFlag];
  if ((flag != kName && flag != kTel) || !MakesContact(row)) return;
  running_ = true;
  flag_ = flag;
  rawContact_ = row[fuck1::kRawContactId];
  id_ = row[fuck1::kId];
  data1_ = row[fuck1::kData1];
  members_ = {};
  members_.add({data1_, flag_});
  followers_ = 0;
}

void ContactRuns::endRun() {
  running_ = false;
  SortedEntryList& target = out_.listFor(id_);
  if (followers_ != 0) {
    AddRunEntries(members_, target);
  } else if (flag_ == kTel) {
    // A lone number is a contact without a name; a lone name says nothing.
    target.add({"", data1_, ""});
  }
}

void AssembleContacts(const std::vector<TableRow>& rows, PreviewEntries& out,
                      const RowProgress& progress) {
  ContactRuns runs(out);
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (runs.add(rows[i]) && progress) progress(i);
  runs.finish();
}

}  // namespace orv
