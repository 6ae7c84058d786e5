#pragma once
// What learned recognition notes during the discovery pass over one range of
// blocks: database headers, schema records, mimetype rows, write-ahead logs,
// a descriptor of each leaf page the fixed layouts left unrecognised, and the
// sectors that open a page larger than the pass can see.
// The ranges of a pass are walked side by side, each into its own notes;
// LearnedRecognition takes them in range order (addDiscoveryNotes), which
// gives what one walk over the whole source would have noted.
//
// One range's notes are used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scan/big_page_candidates.h"
#include "scan/page_descriptor.h"
#include "scan/page_records.h"
#include "scan/schema_catalog.h"
#include "scan/wal_frames.h"

namespace orv {

// Whether a leaf page whose live records are `page` (of `cells` cells) may
// hold schema records: one of them has the schema table's shape, or a cell
// gave no record (a record may overflow the page).
bool MayHoldSchema(const PageRecords& page, std::size_t cells);

// The schema records of a database's first page at image `offset`, `page`
// its bytes from the database header on (exactly the page's size).
void NoteFirstPageSchema(std::uint64_t offset, std::span<const std::uint8_t> page,
                         SchemaCatalog& catalog);

// The schema records in the cells at `pointers` of the leaf page at `q` of
// `buffer` (image `offset`), read for a page of `pageBytes`.
void NoteSchemaCells(std::span<const std::uint8_t> buffer, std::size_t q, std::uint64_t offset,
                     std::span<const std::uint16_t> pointers, std::uint32_t pageBytes,
                     SchemaCatalog& catalog);

// The mimetype rows among the live records of a leaf page in `buffer` (their
// positions are the buffer's), and the page's
// descriptor when the fixed layouts did not list it (`recognised`) and a
// record is wide enough for a layout.
void NotePageRows(std::span<const std::uint8_t> buffer, std::uint64_t offset,
                  const PageRecords& page, bool recognised, SchemaCatalog& catalog,
                  std::vector<PageDescriptor>& descriptors);

class DiscoveryNotes {
 public:
  // The notes of blocks `first` .. `end` - 1; `first` 0 for the source's first range.
  DiscoveryNotes(std::uint64_t firstBlock, std::uint64_t endBlock);

  // The database headers and write-ahead logs starting at a sector of the
  // block at image `blockOffset`, the schema records of the databases' first
  // pages, and the frames of the range's logs in the block.
  void noteBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset);

  // A leaf page candidate at `q` of `buffer` (image `offset`) with its cell
  // pointers and live records (values need not be decoded); `recognised`
  // when the fixed layouts listed it.
  void notePage(std::span<const std::uint8_t> buffer, std::size_t q, std::uint64_t offset,
                std::span<const std::uint16_t> pointers, const PageRecords& page, bool recognised);

 private:
  friend class LearnedRecognition;

  // A schema record of a page before the range's first header: its
  // database, and so its page size, lies in an earlier range. It is decoded
  // for every page size and kept for the one that database has.
  struct PendingSchemaRecord {
    std::uint32_t pageBytes;
    std::uint64_t offset;
    SchemaRecord record;
  };

  bool pageSizeKnown(std::uint64_t offset) const;

  std::uint64_t firstBlock_;
  std::uint64_t endBlock_;
  SchemaCatalog catalog_;  // database 0: what lies before the range's first header
  std::vector<PendingSchemaRecord> pending_;
  std::vector<WalLog> wals_;
  std::vector<PageDescriptor> descriptors_;
  BigPageCandidates bigPages_;  // pages above 4096 bytes, read after the pass
};

}  // namespace orv
