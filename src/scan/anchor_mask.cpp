#include "scan/anchor_mask.h"

#include <algorithm>
#include <cstring>

namespace orv {
namespace {

constexpr std::size_t kLanes = 16;
using Lanes = std::uint8_t __attribute__((vector_size(kLanes)));

Lanes Load(const std::uint8_t* p) {
  Lanes v;
  std::memcpy(&v, p, kLanes);
  return v;
}

Lanes Splat(std::uint8_t value) { return Lanes{} + value; }

bool Any(Lanes v) {
  std::uint64_t halves[2];
  std::memcpy(halves, &v, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

// The kinds the search looks for, as the anchor tests enable them.
struct EnabledKinds {
  bool call, data, message;
  std::size_t dateColumn;
  explicit EnabledKinds(const ColumnParameters& params)
      : call(params.callColumns >= 5),
        data(params.dataColumns >= 4),
        message(params.smsDateColumn > 3 && params.smsColumns > params.smsDateColumn),
        dateColumn(static_cast<std::size_t>(std::max(params.smsDateColumn, 0))) {}
};

// The anchor tests of the record layouts (see anchor_search.cpp) on sixteen
// positions at once: a text type before a date, small integer types after it;
// NULL then 1-byte mimetype then a small raw_contact_id type; a thread_id and
// an address before a message's date.
Lanes Candidates(const std::uint8_t* p, const EnabledKinds& kinds) {
  const Lanes type = Load(p);
  const Lanes before = Load(p - 1);
  const Lanes after = Load(p + 1);
  const Lanes afterNext = Load(p + 2);
  const Lanes one = Splat(1);
  const Lanes isDate = type == 5;
  auto isText = [&](Lanes t) { return (t >= 15) & ((t & one) == one); };
  auto isSmallInteger = [&](Lanes t, std::uint8_t maxBytes) {
    return (t <= maxBytes) | ((t & 0xFC) == 8);
  };
  Lanes hit{};
  if (kinds.call)
    hit |= isDate & isText(before) & isSmallInteger(after, 2) & isSmallInteger(afterNext, 1);
  if (kinds.data) hit |= (type == 1) & (before == 0) & (after <= 4);
  if (kinds.message) {
    const Lanes threadId = Load(p - kinds.dateColumn + 1);
    hit |= isDate & isText(Load(p - kinds.dateColumn + 2)) & (threadId >= 1) & (threadId <= 4);
  }
  return hit;
}

}  // namespace

AnchorMask::AnchorMask(std::span<const std::uint8_t> buffer, const ColumnParameters& params)
    : bits_(buffer.size()) {
  const EnabledKinds kinds(params);
  const std::uint8_t* data = buffer.data();
  const std::size_t size = buffer.size();
  // Where all the neighbours read lie inside the buffer, test in bulk; near
  // the edges mark every 5 and 1 and leave the bounds to the exact test.
  const std::size_t low = std::max<std::size_t>(kinds.dateColumn, 2);
  std::size_t pos = 0;
  for (; pos < low && pos < size; ++pos)
    if (data[pos] == 5 || data[pos] == 1) mark(pos);
  // The furthest byte a group reads is 2 + kLanes - 1 past its first position.
  for (; pos + kLanes + 2 <= size; pos += kLanes) {
    const Lanes hit = Candidates(data + pos, kinds);
    if (!Any(hit)) continue;
    for (std::size_t lane = 0; lane < kLanes; ++lane)
      if (hit[lane]) mark(pos + lane);
  }
  for (; pos < size; ++pos)
    if (data[pos] == 5 || data[pos] == 1) mark(pos);
}

}  // namespace orv
