#pragma once
// Recognition of table leaf pages by the layouts the image itself declares.
//
// The discovery pass notes every database header, every schema record and
// every mimetypes row it meets, and a small descriptor of each leaf page the
// fixed layouts left unrecognised (DiscoveryNotes); pages larger than 4096
// bytes, which the pass cannot see, are noted by their sectors and read
// whole after it (see BigPageCandidates). Then it learns the layouts of each
// database and keeps the pages that may fit one; the normal-space pass then
// reads those pages, lists each page that fits a layout in DB-Result (marked
// "Learned") and turns its fitting records into rows read at the learned
// positions.
//
// Used by the scan driver on its worker thread only.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/raw_source.h"
#include "scan/big_page_candidates.h"
#include "scan/discovery_notes.h"
#include "scan/learned_rows.h"
#include "scan/page_descriptor.h"
#include "scan/page_gaps.h"
#include "scan/page_records.h"
#include "scan/result_tables.h"
#include "scan/schema_catalog.h"
#include "scan/wal_frames.h"

namespace orv {

// CNTType of a DB-Result row whose page was recognised by a learned layout.
inline constexpr std::string_view kLearnedPageMark = "Learned";

class LearnedRecognition {
 public:
  // After the discovery pass: the notes of its ranges, taken in range order;
  // the frames of logs noted in earlier ranges that lie in this range are
  // read from `source`.
  void addDiscoveryNotes(DiscoveryNotes&& notes, RawSource& source);

  // After the discovery pass: the pages larger than 4096 bytes it could not
  // see, to be read whole (see BigPageCandidates). Each is then noted before
  // `learn`: a first page with noteFirstPage, a table leaf page with notePage.
  std::vector<BigPage> bigPages();

  // The schema records of a database's first page at image `offset`, `page`
  // its bytes from the database header on (exactly the page's size).
  void noteFirstPage(std::uint64_t offset, std::span<const std::uint8_t> page);

  // A big table leaf page at image `offset`, `page` its bytes, with its cell
  // pointers and live records, noted as the discovery pass notes the pages
  // it sees.
  void notePage(std::span<const std::uint8_t> page, std::uint64_t offset,
                std::span<const std::uint16_t> pointers, const PageRecords& records);

  // After the discovery pass: learns the layouts and returns, ascending, the
  // offsets of the pages that may fit one of their database's layouts.
  std::vector<std::uint64_t> learn();

  // Normal-space pass: a page `learn` returned, with its `cells` cell
  // pointers and the live records decoded from them. Lists it and adds its
  // rows when at least 80 % of its cells fit a layout of its database (the
  // layout most of them fit wins).
  void recognisePage(std::uint64_t offset, const PageRecords& page, std::size_t cells,
                     ResultTables& tables);

  // Normal-space pass, after recognisePage or completeListedDataPage: carves
  // the deleted records of a page either of them took out of the page's free
  // bytes (`bytes`, the page's own) with the page's layout. Their rows wait
  // for finishCarving.
  void carvePage(std::uint64_t offset, std::span<const std::uint8_t> bytes,
                 std::span<const std::uint16_t> pointers, const PageRecords& page);

  // After the normal-space pass: adds the carved rows, with ID "-1" and the
  // mark "DEL", or kStaleCopyMark where a live row of the same database has
  // the same fields (an old copy of a record that was moved or rewritten,
  // not a deleted one) or an earlier carved row has (a deleted record is
  // listed once).
  void finishCarving(ResultTables& tables);

  // After finishCarving: where a write-ahead log found in the image holds a
  // newer version of a page, the rows of the older versions (the database
  // file's page, earlier and uncommitted frames) are listed once: a row the
  // newest committed version holds as it is, or an earlier old version
  // holds, is removed; another is marked kHistoryMark. Returns the activity
  // log texts, one per log.
  std::vector<std::string> settleVersions(ResultTables& tables);

  // Normal-space pass: a contacts-data page the fixed layout listed (DB-Result
  // number `pageSn`), with its live records. The fixed layout takes the first
  // text from column 4 as data1; where the database's own layout stores
  // data1 further on (behind `hash_id` from Android 6.0) and the page fits
  // it, the records it misread are added with data1 from its learned
  // position, and carvePage then carves the page with that layout. Its own
  // rows stay as they are.
  void completeListedDataPage(std::uint64_t offset, const PageRecords& page, std::size_t cells,
                              const std::string& pageSn, ResultTables& tables);

  // Cuts the free regions of a page the fixed layout listed at the end of its
  // database's pages: after a page smaller than 4096 bytes come other pages,
  // whose live rows are no deleted records.
  void clipToPage(std::uint64_t offset, PageGaps& gaps) const;

  // The page size of the database the byte at `offset` belongs to, at most
  // 4096 (the size the fixed carving reads).
  std::size_t pageBytesAt(std::uint64_t offset) const;

  // The bytes of the page at `offset` that the normal-space pass reads as the
  // page's own: a big page's size, else pageBytesAt.
  std::size_t learnedPageBytes(std::uint64_t offset) const;

  // One activity-log text per layout learned from a schema, and per profile
  // that recognised pages: database, table, columns, source, pages and rows.
  std::vector<std::string> summaryLines() const;

  std::size_t descriptorCount() const { return descriptors_.size(); }

 private:
  struct LayoutUse;
  // The layout of the page's database most of its records fit, when at
  // least 80 % of its `cells` do (of the table `only`, when given).
  LayoutUse* bestLayout(std::uint64_t offset, const PageRecords& page, std::size_t cells,
                        const LayoutTable* only);

  struct LayoutUse {
    LearnedLayout learned;
    std::size_t pages = 0;
    std::size_t rows = 0;
    std::size_t carvedRows = 0;
  };

  struct ListedPage {
    std::size_t layout;  // index into layouts_
    std::string sn;      // its DB-Result number
  };
  struct CarvedRow {
    std::string key;
    LearnedRow row;
  };
  // The identity of a record's row in its database, without its id and page.
  std::optional<std::string> rowKey(std::size_t database, const DecodedRecord& record,
                                    const TableLayout& layout) const;
  void noteLiveRow(std::size_t database, const DecodedRecord& record, const TableLayout& layout);
  const BigPage* bigPageAt(std::uint64_t offset) const;
  // The size of the page at `offset`: a big page's, else its database's.
  std::uint32_t pageSizeAt(std::uint64_t offset) const;

  SchemaCatalog catalog_;
  std::map<std::uint64_t, ListedPage> listed_;
  std::set<std::string> liveKeys_;
  std::vector<CarvedRow> carved_;
  std::vector<WalLog> wals_;
  std::vector<PageDescriptor> descriptors_;
  BigPageCandidates bigPages_;
  std::vector<BigPage> bigPageList_;  // ascending, once bigPages() ran
  std::vector<LayoutUse> layouts_;
};

}  // namespace orv
