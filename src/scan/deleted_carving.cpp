#include "scan/deleted_carving.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "scan/anchor_mask.h"
#include "scan/anchor_search.h"
#include "scan/carved_record.h"
#include "scan/carved_rows.h"
#include "scan/position_bits.h"
#include "scan/record_decoder.h"

namespace orv {
namespace {

// The DB-Result row the carved rows of one search point at: for the free-space carving the
// page's row from the discovery pass; for the abandoned-page carving a fragment row written
// once, when the page yields its first record.
class PageResultRow {
 public:
  explicit PageResultRow(std::string sn) : sn_(std::move(sn)) {}
  PageResultRow(std::uint8_t pageType, std::uint64_t absoluteOffset, ScanView& view)
      : fragment_(Fragment{pageType, absoluteOffset, &view}) {}

  // The SN rows point at; for a fragment row not written yet, the SN it will get.
  std::string sn(const ResultTables& tables) const {
    if (sn_) return *sn_;
    return std::to_string(tables.rowCount(ResultTable::kDbResult) + 1);
  }

  // Writes the fragment row unless it exists, describing it by `cause`.
  void ensureWritten(const DecodedRecord& cause, std::string_view flag, ResultTables& tables) {
    if (sn_) return;
    RowCells cells(ResultTableColumns(ResultTable::kDbResult).size() - 1);
    cells[db_result::kStartOffset - 1] = std::to_string(fragment_->absoluteOffset);
    cells[db_result::kZdType - 1] = cause.labelsText();
    cells[db_result::kColumnCount - 1] = std::to_string(cause.columnCount());
    cells[db_result::kEndOffset - 1] = std::to_string(fragment_->absoluteOffset + kPageBytes);
    cells[db_result::kFileLen - 1] = std::to_string(kPageBytes);
    cells[db_result::kFlag - 1] = flag;
    char pageType[3];
    std::snprintf(pageType, sizeof pageType, "%02X", fragment_->pageType);
    cells[db_result::kPageType - 1] = pageType;
    sn_ = std::to_string(tables.append(ResultTable::kDbResult, std::move(cells)));
    fragment_->view->setStatus(1, "发现碎片数量:" + *sn_);
  }

 private:
  struct Fragment {
    std::uint8_t pageType;
    std::uint64_t absoluteOffset;
    ScanView* view;
  };
  std::optional<std::string> sn_;  // none while the fragment row is not written
  std::optional<Fragment> fragment_;
};

// What the carving at an anchor does on a page that holds the whole record:
// the record, the kind of row it makes and where the search goes on.
struct AnchorEffect {
  RecordKind kind;
  std::size_t firstTypePos;
  std::size_t extent;  // the header's CarvedHeader::extent
  std::size_t next;
  DecodedRecord record;
};

// The pre-test of `kind` on the values `value(column, digits)` gives, the
// second column read only when the first passes; none from it rejects the
// record.
template <class Values>
bool PassesPretest(RecordKind kind, const ColumnParameters& params, Values&& value) {
  const Pretest pretest = kind == RecordKind::kCall ? CallPretest()
                          : kind == RecordKind::kMessage
                              ? MessagePretest(static_cast<std::size_t>(params.smsDateColumn))
                              : DataPretest();
  const auto passes = [&](std::size_t column, Pretest::ValueTest test) {
    IntegerDigits digits;
    const std::optional<std::string_view> text = value(column, digits);
    return text && test(*text);
  };
  return passes(pretest.firstColumn, pretest.first) && passes(pretest.secondColumn, pretest.second);
}

// The effect of the carving at position `p` of `page`, or none when the
// search passes over it to p + 1. Only a record that passes its kind's
// pre-test is built; `header` is working storage.
std::optional<AnchorEffect> EffectAt(std::span<const std::uint8_t> page, std::size_t p,
                                     const ColumnParameters& params, CarvedHeader& header) {
  const auto anchor = MatchAnchor(page, p, params);
  if (!anchor) return std::nullopt;
  const auto quick = OneByteHeader::Of(page, anchor->firstTypePos, anchor->columnCount);
  if (quick && !PassesPretest(anchor->kind, params, [&](std::size_t column, IntegerDigits& digits) {
        return quick->value(column, digits);
      }))
    return std::nullopt;
  if (!ReadCarvedHeader(page, anchor->firstTypePos, anchor->columnCount, header) ||
      !PassesPretest(anchor->kind, params, [&](std::size_t column, IntegerDigits& digits) {
        return std::optional(CarvedValueView(page, header, column, digits));
      }))
    return std::nullopt;
  auto carved = BuildCarvedRecord(page, header);
  if (!carved) return std::nullopt;
  std::size_t next = carved->contentEnd;
  if (anchor->kind == RecordKind::kData) {
    if (!BuildDataRow(carved->record, {})) return std::nullopt;
    // A contacts row is short; the next one may begin inside this one's content.
    next = carved->contentStart;
  }
  return AnchorEffect{anchor->kind, anchor->firstTypePos, header.extent, std::max(next, p + 1),
                      std::move(carved->record)};
}

// Writes the rows of `effect` for the page of `pageRow`; returns where the
// search goes on.
std::size_t ApplyEffect(const AnchorEffect& effect, PageResultRow& pageRow,
                        const ColumnParameters& params, ResultTables& tables) {
  const DecodedRecord& record = effect.record;
  switch (effect.kind) {
    case RecordKind::kCall:
      pageRow.ensureWritten(record, "Call", tables);
      tables.append(ResultTable::kFuck2, BuildCallRow(record, pageRow.sn(tables)));
      break;
    case RecordKind::kMessage: {
      pageRow.ensureWritten(record, "Sms", tables);
      const auto dateColumn = static_cast<std::size_t>(params.smsDateColumn);
      if (auto row = BuildMessageRow(record, dateColumn, pageRow.sn(tables)))
        tables.append(ResultTable::kFuck3, std::move(*row));
      break;
    }
    case RecordKind::kData:
      if (auto row = BuildDataRow(record, pageRow.sn(tables)))
        tables.append(ResultTable::kFuck1, std::move(*row));
      pageRow.ensureWritten(record, "Data", tables);
      break;
  }
  return effect.next;
}

// Searches positions [from, to): `next(p, to)` gives the next anchor
// position from p on (or `to`), `effectAt(p)` its effect (null for none).
template <class Next, class EffectOf>
void SearchRange(std::size_t from, std::size_t to, Next&& next, EffectOf&& effectAt,
                 PageResultRow& pageRow, const ColumnParameters& params, ResultTables& tables) {
  for (std::size_t p = from; (p = next(p, to)) < to;) {
    const AnchorEffect* effect = effectAt(p);
    p = effect ? ApplyEffect(*effect, pageRow, params, tables) : p + 1;
  }
}

// The search of one page whose bytes are all of `page`, its anchor
// positions marked in `mask` at `maskOffset` on.
void SearchPage(std::span<const std::uint8_t> page, const AnchorMask& mask, std::size_t maskOffset,
                std::size_t from, std::size_t to, PageResultRow& pageRow,
                const ColumnParameters& params, ResultTables& tables) {
  CarvedHeader header;
  std::optional<AnchorEffect> effect;
  SearchRange(
      from, std::min(to, page.size()),
      [&](std::size_t p, std::size_t end) {
        return mask.next(maskOffset + p, maskOffset + end) - maskOffset;
      },
      [&](std::size_t p) {
        effect = EffectAt(page, p, params, header);
        return effect ? &*effect : nullptr;
      },
      pageRow, params, tables);
}

// Where an abandoned page lies in its buffer: [start, end), searched from `from`;
// none when it would not lie whole in the read buffer.
struct AbandonedPageBounds {
  std::size_t start, from, end;
};
std::optional<AbandonedPageBounds> BoundsOf(std::size_t bufferSize, std::size_t firstOffset,
                                            std::size_t pageOffset, std::size_t pageBytes) {
  const std::size_t limit = std::min(bufferSize, kReadBufferBytes - 1);
  if (pageOffset > limit || limit - pageOffset < kPageBytes) return std::nullopt;
  return AbandonedPageBounds{pageOffset, std::max(firstOffset, pageOffset),
                             pageOffset + std::min(pageBytes, kPageBytes)};
}

}  // namespace

bool TakesRecordAt(std::span<const std::uint8_t> page, std::size_t p,
                   const ColumnParameters& params) {
  thread_local CarvedHeader header;
  return EffectAt(page, p, params, header).has_value();
}

void CarveFreeRegions(std::span<const std::uint8_t> buffer, const PageGaps& gaps,
                      const std::string& dbResultSn, const ColumnParameters& params,
                      ResultTables& tables) {
  PageResultRow pageRow(dbResultSn);
  const auto page = buffer.first(std::min(buffer.size(), kPageBytes));
  const AnchorMask mask(page, params);
  for (const PageGap& gap : gaps)
    SearchPage(page, mask, 0, gap.start, gap.end, pageRow, params, tables);
}

void CarveAbandonedPage(std::uint8_t pageType, std::size_t firstOffset,
                        std::span<const std::uint8_t> buffer, std::uint64_t absolutePageOffset,
                        std::size_t pageOffset, const AnchorMask& mask,
                        const ColumnParameters& params, ResultTables& tables, ScanView& view,
                        std::size_t pageBytes) {
  const auto bounds = BoundsOf(buffer.size(), firstOffset, pageOffset, pageBytes);
  if (!bounds) return;
  PageResultRow pageRow(pageType, absolutePageOffset, view);
  SearchPage(buffer.subspan(bounds->start, bounds->end - bounds->start), mask, bounds->start,
             bounds->from - bounds->start, bounds->end - bounds->start, pageRow, params, tables);
}

// The effects of the anchor positions of [testedFrom, testedTo), each found
// with the whole buffer as its page.
//
// An effect found so holds for a page that begins at or before the record's
// first serial type and ends at or after its extent: the page's search reads
// the same bytes and meets the same bounds. On a page the record reaches
// past, every kind is rejected, so the page passes over the position: the
// header is cut at the page end (or a value ends past it), and what is left
// cannot be taken. A call needs its number and date, and a message its
// thread_id and address, at the content's start, at least two bytes where
// at most one is left; a contacts record's one-byte mimetype_id could only
// be the first byte of the two-byte serial type cut at the page end, whose
// top bit makes it negative, which its pre-test refuses. A record whose first
// serial type would stand before the page is not an anchor of that page.
struct AbandonedPageCarving::Outcomes {
  std::span<const std::uint8_t> buffer;
  AnchorMask mask;
  const ColumnParameters& params;
  CarvedHeader header;
  PositionBits effective;  // positions with an effect
  std::unordered_map<std::size_t, AnchorEffect> effects;
  std::size_t testedFrom = 0;
  std::size_t testedTo = 0;
  std::size_t tested = 0;

  void test(std::size_t from, std::size_t to) {
    mask.markRange(from, to);
    for (std::size_t p = from; (p = mask.next(p, to)) < to; ++p) {
      ++tested;
      if (auto effect = EffectAt(buffer, p, params, header)) {
        effective.mark(p);
        effects.emplace(p, std::move(*effect));
      }
    }
  }

  // Tests the positions of [from, to) not tested yet; the tested ones stay one range.
  void cover(std::size_t from, std::size_t to) {
    if (from >= to) return;
    if (testedFrom == testedTo) {
      test(from, to);
      testedFrom = from;
      testedTo = to;
      return;
    }
    if (from < testedFrom) {
      test(from, testedFrom);
      testedFrom = from;
    }
    if (to > testedTo) {
      test(testedTo, to);
      testedTo = to;
    }
  }
};

AbandonedPageCarving::AbandonedPageCarving(std::span<const std::uint8_t> buffer,
                                           const ColumnParameters& params)
    : outcomes_(std::make_unique<Outcomes>(Outcomes{buffer,
                                                    AnchorMask::Unmarked(buffer, params),
                                                    params,
                                                    {},
                                                    PositionBits(buffer.size()),
                                                    {},
                                                    0,
                                                    0,
                                                    0})) {}

AbandonedPageCarving::~AbandonedPageCarving() = default;

std::size_t AbandonedPageCarving::testedPositions() const { return outcomes_->tested; }

void AbandonedPageCarving::preparePage(std::size_t firstOffset, std::size_t pageOffset,
                                       std::size_t pageBytes) {
  const auto bounds = BoundsOf(outcomes_->buffer.size(), firstOffset, pageOffset, pageBytes);
  if (bounds) outcomes_->cover(bounds->from, bounds->end);
}

void AbandonedPageCarving::carvePage(std::uint8_t pageType, std::size_t firstOffset,
                                     std::uint64_t absolutePageOffset, std::size_t pageOffset,
                                     ResultTables& tables, ScanView& view, std::size_t pageBytes) {
  Outcomes& outcomes = *outcomes_;
  const auto bounds = BoundsOf(outcomes.buffer.size(), firstOffset, pageOffset, pageBytes);
  if (!bounds) return;
  outcomes.cover(bounds->from, bounds->end);
  PageResultRow pageRow(pageType, absolutePageOffset, view);
  SearchRange(
      bounds->from, bounds->end,
      [&](std::size_t p, std::size_t end) { return outcomes.effective.next(p, end); },
      [&](std::size_t p) -> const AnchorEffect* {
        const AnchorEffect& effect = outcomes.effects.at(p);
        const bool inPage = effect.firstTypePos >= bounds->start && effect.extent <= bounds->end;
        return inPage ? &effect : nullptr;
      },
      pageRow, outcomes.params, tables);
}

}  // namespace orv
