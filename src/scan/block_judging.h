#pragma once
// Whether the deleted-page pass could carve anything out of a block, decided
// by the discovery pass while it holds the block's bytes, before the column
// parameters are known. The deleted-page pass then reads again only the
// blocks that may yield, not every block with an index or interior page: on
// a phone's storage, other apps' index pages are everywhere.
//
// The column parameters are the column counts of pages the discovery pass
// listed, which lie in the classifier's windows. A block may yield only when
// some position its candidate pages reach takes a record under some
// parameters of those windows; each position is tested under every such
// parameter its bytes allow, after checks every taken record passes (a call
// or a message holds a phone number where its content may start, a contacts
// record a mimetype id).
//
// The work per block is bounded: a block whose positions would need more
// header walks or record tests than the bounds below is taken as one that
// may yield, so hostile bytes cost little more than a re-read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "scan/column_parameters.h"

namespace orv {

// Which blocks with a candidate page the discovery pass judges. Judging
// costs processor time and saves reading again: kWhileWaiting judges only
// while the time spent judging stays below the time the pass waited for the
// source, so a slow medium is read once and a fast one (or the page cache)
// is read again rather than slowing the pass. The results are the same
// either way.
enum class BlockJudging { kWhileWaiting, kEvery, kNone };

// What one block may take before it is kept without further tests: walks
// over a record header (at most one per anchor and column layout, each over
// at most 40 serial types) and records rebuilt.
inline constexpr std::size_t kMostHeaderWalks = 8192;
inline constexpr std::size_t kMostRecordTests = 2048;

// `buffer` is a block read for the scan (the block and the margin after it).
// False only when the abandoned-page carving of every candidate page of the
// block writes nothing, whatever parameters within the windows it runs with
// and wherever (at most kPageBytes on) each page ends.
[[nodiscard]] bool MayYieldAbandonedRecords(std::span<const std::uint8_t> buffer);

// Whether the carving with `params` is one of those MayYieldAbandonedRecords
// answers for; when it is not, every block with a candidate page must be
// read again.
[[nodiscard]] bool WithinJudgedWindows(const ColumnParameters& params);

}  // namespace orv
