#include "scan/block_judging.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scan/anchor_mask.h"
#include "scan/anchor_search.h"
#include "scan/candidate_search.h"
#include "scan/deleted_carving.h"
#include "scan/page_format.h"
#include "scan/page_header.h"
#include "scan/position_bits.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

// The column counts of listed pages of a kind: the windows leave out both ends.
struct CountRange {
  std::int32_t low, high;
};
constexpr CountRange Listed(ColumnCountWindow window) {
  return {static_cast<std::int32_t>(window.above) + 1, static_cast<std::int32_t>(window.below) - 1};
}
constexpr CountRange kCalls = Listed(kCallColumns);
constexpr CountRange kData = Listed(kDataColumns);
constexpr CountRange kMessages = Listed(kSmsColumns);
// A message's date follows its _id, thread_id, address and person.
constexpr std::int32_t kFirstDateColumn = 4;

bool IsDigit(std::uint8_t byte) { return byte >= '0' && byte <= '9'; }

// Whether a text at `q` could pass the phone number test: after an optional
// "+", its leading run of digits and spaces holds three digits.
bool MayStartPhoneNumber(std::span<const std::uint8_t> buffer, std::size_t q) {
  const std::uint8_t lead = buffer[q];
  if (!IsDigit(lead) && lead != '+' && lead != ' ') return false;  // most bytes
  int digits = 0;
  for (std::size_t i = q + (buffer[q] == '+' ? 1 : 0); i < buffer.size() && digits < 3; ++i) {
    if (IsDigit(buffer[i]))
      ++digits;
    else if (buffer[i] != ' ')
      break;
  }
  return digits == 3;
}

// A 1-byte integer a carved contacts row takes as its mimetype_id.
bool IsTakenMimetypeByte(std::uint8_t byte) {
  return byte >= 1 && byte <= kMaxMimetypeId && byte != 4;
}

// The bytes a message's anchor is found by, one bit per position, 64
// positions to a word.
struct MessageBytes {
  std::vector<std::uint64_t> fives;  // a date's serial type
  std::vector<std::uint64_t> pairs;  // a thread_id's type (1 to 4) before a text's type
};

bool IsThreadIdType(std::uint8_t type) { return type >= 1 && type <= 4; }

MessageBytes FindMessageBytes(std::span<const std::uint8_t> buffer) {
  constexpr std::size_t kWord = 64;
  const std::size_t words = (buffer.size() + kWord - 1) / kWord;
  MessageBytes found{std::vector<std::uint64_t>(words, 0), std::vector<std::uint64_t>(words, 0)};
  std::size_t pos = 0;
#if defined(__SSE2__)
  // Sixteen positions at a time, where every byte read lies in the buffer.
  const __m128i five = _mm_set1_epi8(5), one = _mm_set1_epi8(1), three = _mm_set1_epi8(3),
                fifteen = _mm_set1_epi8(15);
  for (; pos + kWord + 1 <= buffer.size(); pos += kWord) {
    std::uint64_t fives = 0, pairs = 0;
    for (std::size_t group = 0; group < kWord; group += 16) {
      const auto* at = reinterpret_cast<const __m128i*>(buffer.data() + pos + group);
      const __m128i type = _mm_loadu_si128(at);
      const __m128i next =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer.data() + pos + group + 1));
      const __m128i fromOne = _mm_sub_epi8(type, one);  // 1 to 4 become 0 to 3, 0 becomes 255
      const __m128i threadId = _mm_cmpeq_epi8(_mm_min_epu8(fromOne, three), fromOne);
      const __m128i text = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(next, fifteen), next),
                                         _mm_cmpeq_epi8(_mm_and_si128(next, one), one));
      const auto bits = [](__m128i hit) {
        return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(hit)));
      };
      fives |= bits(_mm_cmpeq_epi8(type, five)) << group;
      pairs |= bits(_mm_and_si128(threadId, text)) << group;
    }
    found.fives[pos / kWord] = fives;
    found.pairs[pos / kWord] = pairs;
  }
#endif
  for (; pos < buffer.size(); ++pos) {
    const std::uint64_t bit = std::uint64_t{1} << (pos % kWord);
    const std::uint8_t next = pos + 1 < buffer.size() ? buffer[pos + 1] : 0;
    if (buffer[pos] == 5) found.fives[pos / kWord] |= bit;
    if (IsThreadIdType(buffer[pos]) && IsNonEmptyTextType(next)) found.pairs[pos / kWord] |= bit;
  }
  return found;
}

// `words` with every position moved `shift` (below 64) positions up.
std::vector<std::uint64_t> ShiftedUp(const std::vector<std::uint64_t>& words, unsigned shift) {
  std::vector<std::uint64_t> shifted(words.size());
  for (std::size_t w = 0; w < words.size(); ++w)
    shifted[w] = words[w] << shift | (w > 0 && shift > 0 ? words[w - 1] >> (64 - shift) : 0);
  return shifted;
}

void OrInto(std::vector<std::uint64_t>& into, const std::vector<std::uint64_t>& words) {
  for (std::size_t w = 0; w < into.size(); ++w) into[w] |= words[w];
}

PositionBits ToPositionBits(const std::vector<std::uint64_t>& words, std::size_t size) {
  PositionBits bits(size);
  for (std::size_t w = 0; w < words.size(); ++w) bits.setWord(w, words[w]);
  return bits;
}

// The 5s with a thread_id and address pair `kFirstDateColumn` - 1 to
// `kFirstDateColumn` - 2 + `window` bytes before them: where a message's
// anchor may stand for some date column.
std::vector<std::uint64_t> MessageAnchorBytes(const MessageBytes& bytes, unsigned window) {
  // Each doubling widens the window of pairs a position sees below it.
  std::vector<std::uint64_t> seen = bytes.pairs;
  unsigned width = 1;
  for (; 2 * width <= window; width *= 2) OrInto(seen, ShiftedUp(seen, width));
  if (width < window) OrInto(seen, ShiftedUp(seen, window - width));
  seen = ShiftedUp(seen, kFirstDateColumn - 1);
  for (std::size_t w = 0; w < seen.size(); ++w) seen[w] &= bytes.fives[w];
  return seen;
}

class BlockJudge {
 public:
  explicit BlockJudge(std::span<const std::uint8_t> buffer)
      : buffer_(buffer),
        callAndDataAnchors_(AnchorMask::Unmarked(buffer, {kCalls.high, kData.high, 0, 0})),
        threadAddressPairs_(buffer.size()),
        messageAnchors_(buffer.size()) {
    const MessageBytes bytes = FindMessageBytes(buffer);
    // The date column d puts the pair at p - d + 1.
    const auto window = static_cast<unsigned>(kMessages.high - 1 - kFirstDateColumn + 1);
    messageAnchors_ = ToPositionBits(MessageAnchorBytes(bytes, window), buffer.size());
    threadAddressPairs_ = ToPositionBits(bytes.pairs, buffer.size());
  }

  // Whether some position of [from, to) may take a record; true too once
  // the work ran out.
  bool anyIn(std::size_t from, std::size_t to) {
    to = std::min(to, buffer_.size());
    callAndDataAnchors_.markRange(from, to);
    for (std::size_t p = from; (p = callAndDataAnchors_.next(p, to)) < to; ++p) {
      if (buffer_[p] == 5 ? callAt(p) : dataAt(p)) return true;
      if (outOfWork()) return true;
    }
    for (std::size_t p = from; (p = messageAnchors_.next(p, to)) < to; ++p) {
      if (messageAt(p)) return true;
      if (outOfWork()) return true;
    }
    return false;
  }

 private:
  // The call log's anchor is the date's type: the number's content starts
  // where the record's content does.
  bool callAt(std::size_t p) {
    if (!MatchAnchor(buffer_, p, {kCalls.high, 0, 0, 0})) return false;
    return anyCountTakes(
        p, p - 2, kCalls, 0, [&](std::size_t q) { return MayStartPhoneNumber(buffer_, q); },
        [](std::int32_t c) {
          return ColumnParameters{c, 0, 0, 0};
        });
  }

  // The contacts data anchor is the mimetype_id's type after a NULL package:
  // the mimetype_id's byte starts the content.
  bool dataAt(std::size_t p) {
    if (!MatchAnchor(buffer_, p, {0, kData.high, 0, 0})) return false;
    return anyCountTakes(
        p, p - 2, kData, 0, [&](std::size_t q) { return IsTakenMimetypeByte(buffer_[q]); },
        [](std::int32_t c) {
          return ColumnParameters{0, c, 0, 0};
        });
  }

  // A message's anchor is its date's type, d columns after its first: the
  // address follows the thread_id's 1 to 4 bytes at the content's start.
  bool messageAt(std::size_t p) {
    // The thread_id's type stands at p - d + 1, for d from kFirstDateColumn
    // to the last date column a listed message page can have.
    const auto lastDate = static_cast<std::size_t>(kMessages.high - 1);
    if (p + 2 <= static_cast<std::size_t>(kFirstDateColumn)) return false;
    const std::size_t lowest = std::max<std::size_t>(p + 1 >= lastDate ? p + 1 - lastDate : 0, 1);
    const std::size_t end = p + 2 - kFirstDateColumn;
    for (std::size_t i = lowest; (i = threadAddressPairs_.next(i, end)) < end; ++i) {
      const std::size_t first = i - 1;
      const auto d = static_cast<std::int32_t>(p - first);
      if (!MatchAnchor(buffer_, p, {0, 0, kMessages.high, d})) continue;
      const CountRange counts{std::max(kMessages.low, d + 1), kMessages.high};
      if (anyCountTakes(
              p, first, counts, buffer_[i],
              [&](std::size_t q) { return MayStartPhoneNumber(buffer_, q); },
              [d](std::int32_t c) {
                return ColumnParameters{0, 0, c, d};
              }))
        return true;
    }
    return false;
  }

  // Whether the anchor at `p`, its record's first serial type at `first`,
  // takes a record with some column count of `counts`. A record of c
  // columns has its content after c - 1 serial types; one is built only when
  // the position `skip` past that passes `mayStart`. A serial type whose second byte has its top
  // bit set, or the buffer's end, ends the header for every larger count.
  template <class MayStart, class ParamsFor>
  bool anyCountTakes(std::size_t p, std::size_t first, CountRange counts, std::size_t skip,
                     MayStart&& mayStart, ParamsFor&& paramsFor) {
    ++walks_;
    const auto takes = [&](std::int32_t c, std::size_t contentStart) {
      const std::size_t q = contentStart + skip;
      if (c < counts.low || q >= buffer_.size() || !mayStart(q)) return false;
      ++tests_;
      return TakesRecordAt(buffer_, p, paramsFor(c));
    };
    // Headers of one-byte serial types first, the common case: the content
    // of c columns starts at first + c.
    const std::size_t oneByte = OneByteTypesFrom(first + 1, counts.high - 1);
    const auto lowest = std::max<std::size_t>(first + counts.low + skip, first + 2 + skip);
    const std::size_t end = first + oneByte + 2 + skip;  // past the content of oneByte + 1 columns
    for (std::size_t q = lowest; q < end; ++q)
      if (takes(static_cast<std::int32_t>(q - skip - first), q - skip)) return true;
    std::size_t pos = first + 1 + oneByte;
    for (auto column = static_cast<std::int32_t>(oneByte) + 1; column < counts.high; ++column) {
      if (pos >= buffer_.size()) return false;
      if (buffer_[pos] & 0x80) {
        if (pos + 1 >= buffer_.size() || (buffer_[pos + 1] & 0x80)) return false;
        pos += 2;
      } else {
        ++pos;
      }
      if (takes(column + 1, pos)) return true;
    }
    return false;
  }

  // How many bytes from `from` on, at most `most`, lie in the buffer with
  // their top bit clear.
  std::size_t OneByteTypesFrom(std::size_t from, std::int32_t most) const {
    const std::size_t end = std::min(buffer_.size(), from + static_cast<std::size_t>(most));
    std::size_t pos = from;
    for (; pos + 8 <= end; pos += 8) {
      std::uint64_t word;
      std::memcpy(&word, buffer_.data() + pos, sizeof word);
      if (const std::uint64_t top = word & 0x8080808080808080; top != 0)
        return pos + static_cast<std::size_t>(__builtin_ctzll(top)) / 8 - from;
    }
    while (pos < end && (buffer_[pos] & 0x80) == 0) ++pos;
    return pos - from;
  }

  std::span<const std::uint8_t> buffer_;
  AnchorMask callAndDataAnchors_;    // marked range by range, as they are searched
  PositionBits threadAddressPairs_;  // where a message's thread_id type may stand
  PositionBits messageAnchors_;      // 5s with such a pair before them
  std::size_t walks_ = 0;
  std::size_t tests_ = 0;

  bool outOfWork() const { return walks_ > kMostHeaderWalks || tests_ > kMostRecordTests; }
};

}  // namespace

bool MayYieldAbandonedRecords(std::span<const std::uint8_t> buffer) {
  BlockJudge judge(buffer);
  // The candidate pages overlap: the positions they reach are searched as
  // one run [searchedFrom, searchedTo), grown at either end.
  std::size_t searchedFrom = 0;
  std::size_t searchedTo = 0;
  const auto search = [&](std::size_t from, std::size_t to) {
    if (from > searchedTo || searchedFrom == searchedTo) {
      searchedFrom = searchedTo = from;
    }
    const bool may = (from < searchedFrom && judge.anyIn(from, searchedFrom)) ||
                     (to > searchedTo && judge.anyIn(searchedTo, to));
    searchedFrom = std::min(searchedFrom, from);
    searchedTo = std::max(searchedTo, to);
    return may;
  };
  bool may = false;
  ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) -> std::size_t {
    if (!IsAbandonedPageCandidate(buffer, q)) return q + 1;
    may = search(q + PageHeaderLength(buffer[q]), q + kPageBytes);
    return may ? kScanBlockBytes : q + 1;
  });
  return may;
}

bool WithinJudgedWindows(const ColumnParameters& params) {
  const auto within = [](std::int32_t columns, CountRange counts) {
    return columns >= counts.low && columns <= counts.high;
  };
  // MatchAnchor leaves out a kind whose parameters are too small for its columns.
  const bool callsCovered = params.callColumns < 5 || within(params.callColumns, kCalls);
  const bool dataCovered = params.dataColumns < 4 || within(params.dataColumns, kData);
  const bool messagesOff = params.smsDateColumn <= 3 || params.smsColumns <= params.smsDateColumn;
  const bool messagesCovered = messagesOff || (within(params.smsColumns, kMessages) &&
                                               params.smsDateColumn >= kFirstDateColumn);
  return callsCovered && dataCovered && messagesCovered;
}

}  // namespace orv
