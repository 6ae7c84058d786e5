#include "scan/candidate_search.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORV_X86 1
#endif

namespace orv {
namespace {

void FindScalar(const std::uint8_t* data, std::size_t count, std::uint64_t* bits) {
  for (std::size_t word = 0; word < count / 64; ++word) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < 64; ++i)
      mask |= std::uint64_t{MayStartPage(data + word * 64 + i)} << i;
    bits[word] = mask;
  }
}

#if ORV_X86
// One group of 16 or 32 positions: the type byte, then the high bytes of the
// first freeblock (+1), the cell count (+3) and the content start (+5).
#define ORV_GROUP_BODY(VEC, LOAD, SET1, CMPEQ, MIN, OR, AND, MOVEMASK)                       \
  const VEC type = LOAD(p);                                                                  \
  const VEC isType = OR(OR(CMPEQ(type, SET1(0x0D)), CMPEQ(type, SET1(0x05))),                \
                        OR(CMPEQ(type, SET1(0x02)), CMPEQ(type, SET1(0x0A))));               \
  const VEC freeblockHigh = LOAD(p + 1), countHigh = LOAD(p + 3), contentHigh = LOAD(p + 5); \
  const VEC fields = AND(AND(CMPEQ(MIN(freeblockHigh, SET1(0x0F)), freeblockHigh),           \
                             CMPEQ(MIN(countHigh, SET1(0x03)), countHigh)),                  \
                         CMPEQ(MIN(contentHigh, SET1(0x0F)), contentHigh));                  \
  return static_cast<std::uint32_t>(MOVEMASK(AND(isType, fields)))

#define ORV_LOAD128(at) _mm_loadu_si128(reinterpret_cast<const __m128i*>(at))
#define ORV_LOAD256(at) _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at))

inline __attribute__((target("sse2"), always_inline)) std::uint64_t Group16(const std::uint8_t* p) {
  ORV_GROUP_BODY(__m128i, ORV_LOAD128, _mm_set1_epi8, _mm_cmpeq_epi8, _mm_min_epu8, _mm_or_si128,
                 _mm_and_si128, _mm_movemask_epi8);
}

// The same test in fewer steps: one OR of the bytes that must lie below 0x10
// (type, freeblock and content start high bytes) masked to their high
// nibbles, with the cell count's bits from 4 up, is zero exactly when every
// field is in range; the type byte, then below 0x10, picks its verdict from a
// table of sixteen.
inline __attribute__((target("avx2"), always_inline)) std::uint64_t Group32(const std::uint8_t* p) {
  const __m256i type = ORV_LOAD256(p);
  const __m256i below16 =
      _mm256_or_si256(_mm256_or_si256(type, ORV_LOAD256(p + 1)), ORV_LOAD256(p + 5));
  const __m256i outOfRange = _mm256_or_si256(
      _mm256_and_si256(below16, _mm256_set1_epi8(static_cast<char>(0xF0))),
      _mm256_and_si256(ORV_LOAD256(p + 3), _mm256_set1_epi8(static_cast<char>(0xFC))));
  const __m256i inRange = _mm256_cmpeq_epi8(outOfRange, _mm256_setzero_si256());
  // 0xFF at 0x02, 0x05, 0x0A and 0x0D, in both 16-byte lanes.
  const __m256i pageTypes = _mm256_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, -1, 0, 0,  //
                                             0, 0, -1, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, -1, 0, 0);
  const __m256i isType = _mm256_shuffle_epi8(pageTypes, type);
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(inRange, isType)));
}

__attribute__((target("sse2"))) void FindSse2(const std::uint8_t* data, std::size_t count,
                                              std::uint64_t* bits) {
  for (std::size_t word = 0; word < count / 64; ++word) {
    const std::uint8_t* p = data + word * 64;
    bits[word] = Group16(p) | Group16(p + 16) << 16 | Group16(p + 32) << 32 | Group16(p + 48) << 48;
  }
}

__attribute__((target("avx2"))) void FindAvx2(const std::uint8_t* data, std::size_t count,
                                              std::uint64_t* bits) {
  for (std::size_t word = 0; word < count / 64; ++word) {
    const std::uint8_t* p = data + word * 64;
    bits[word] = Group32(p) | Group32(p + 32) << 32;
  }
}
#endif

using FindFunction = void (*)(const std::uint8_t*, std::size_t, std::uint64_t*);

FindFunction ChooseFind() {
#if ORV_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return FindAvx2;
  if (__builtin_cpu_supports("sse2")) return FindSse2;
#endif
  return FindScalar;
}

const FindFunction kFind = ChooseFind();

}  // namespace

void FindPageCandidates(const std::uint8_t* data, std::size_t count, std::uint64_t* bits) {
  kFind(data, count, bits);
}

}  // namespace orv
