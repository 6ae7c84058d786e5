#include "scan/anchor_mask.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORV_X86 1
#endif

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

#if ORV_X86
// The same tests on 32 positions at once with AVX2, as a bit per position.
#define ORV_AVX2_HELPER __attribute__((target("avx2"), always_inline)) inline

ORV_AVX2_HELPER __m256i Load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
ORV_AVX2_HELPER __m256i Splat32(std::uint8_t value) {
  return _mm256_set1_epi8(static_cast<char>(value));
}
ORV_AVX2_HELPER __m256i Equal(__m256i v, std::uint8_t value) {
  return _mm256_cmpeq_epi8(v, Splat32(value));
}
ORV_AVX2_HELPER __m256i AtMost(__m256i v, std::uint8_t value) {
  return _mm256_cmpeq_epi8(_mm256_min_epu8(v, Splat32(value)), v);
}
ORV_AVX2_HELPER __m256i AtLeast(__m256i v, std::uint8_t value) {
  return _mm256_cmpeq_epi8(_mm256_max_epu8(v, Splat32(value)), v);
}
ORV_AVX2_HELPER __m256i And(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
ORV_AVX2_HELPER __m256i Or(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
ORV_AVX2_HELPER __m256i IsText32(__m256i t) {
  return And(AtLeast(t, 15), Equal(And(t, Splat32(1)), 1));
}
ORV_AVX2_HELPER __m256i IsSmallInteger32(__m256i t, std::uint8_t maxBytes) {
  return Or(AtMost(t, maxBytes), Equal(And(t, Splat32(0xFC)), 8));
}

__attribute__((target("avx2"))) std::uint32_t Candidates32(const std::uint8_t* p,
                                                           const EnabledKinds& kinds) {
  const __m256i type = Load32(p);
  const __m256i isDate = Equal(type, 5);
  const __m256i isOne = Equal(type, 1);
  const __m256i either = Or(isDate, isOne);
  if (_mm256_testz_si256(either, either)) return 0;  // most groups: no 5 and no 1
  const __m256i before = Load32(p - 1);
  const __m256i after = Load32(p + 1);
  __m256i hit = _mm256_setzero_si256();
  if (kinds.call)
    hit = Or(hit, And(And(isDate, IsText32(before)),
                      And(IsSmallInteger32(after, 2), IsSmallInteger32(Load32(p + 2), 1))));
  if (kinds.data) hit = Or(hit, And(isOne, And(Equal(before, 0), AtMost(after, 4))));
  if (kinds.message) {
    const __m256i threadId = Load32(p - kinds.dateColumn + 1);
    hit = Or(hit, And(And(isDate, IsText32(Load32(p - kinds.dateColumn + 2))),
                      And(AtLeast(threadId, 1), AtMost(threadId, 4))));
  }
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(hit));
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
const bool kHasAvx2 = HasAvx2();
#endif

}  // namespace

AnchorMask::AnchorMask(std::span<const std::uint8_t> buffer, const ColumnParameters& params)
    : AnchorMask(buffer, params, NothingMarked{}) {
  markRange(0, buffer.size());
}

void AnchorMask::markRange(std::size_t from, std::size_t to) {
  const EnabledKinds kinds(params_);
  const std::uint8_t* data = buffer_.data();
  const std::size_t size = buffer_.size();
  to = std::min(to, size);
  // Where all the neighbours read lie inside the buffer, test in bulk; near
  // the edges mark every 5 and 1 and leave the bounds to the exact test.
  const std::size_t low = std::max<std::size_t>(kinds.dateColumn, 2);
  std::size_t pos = from;
  for (; pos < low && pos < to; ++pos)
    if (data[pos] == 5 || data[pos] == 1) mark(pos);
      // The furthest byte a group reads is 2 + lanes - 1 past its first position.
#if ORV_X86
  constexpr std::size_t kWideLanes = 32;
  if (kHasAvx2) {
    for (; pos < to && pos + kWideLanes + 2 <= size; pos += kWideLanes) {
      for (std::uint32_t hit = Candidates32(data + pos, kinds); hit != 0; hit &= hit - 1)
        mark(pos + static_cast<std::size_t>(__builtin_ctz(hit)));
    }
  }
#endif
  for (; pos < to && pos + kLanes + 2 <= size; pos += kLanes) {
    const Lanes hit = Candidates(data + pos, kinds);
    if (!Any(hit)) continue;
    for (std::size_t lane = 0; lane < kLanes; ++lane)
      if (hit[lane]) mark(pos + lane);
  }
  for (; pos < to; ++pos)
    if (data[pos] == 5 || data[pos] == 1) mark(pos);
}

}  // namespace orv
