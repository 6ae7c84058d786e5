#pragma once
// Table leaf pages larger than 4096 bytes (8192 to 65536), which the
// byte-by-byte discovery tests cannot see: their content start, freeblocks
// and cell pointers lie past 4095, and the discovery pass reads no more than
// 4096 bytes past a position. Databases with such pages are rare on phones
// but real (a larger `PRAGMA page_size`, or a vendor's choice).
//
// A file system places every file at a sector boundary and SQLite's pages
// follow one another from the file's start, so such a page starts at a
// sector of the image. The discovery pass notes each sector that opens a
// leaf page header only a page above 4096 bytes can hold; after the pass the
// notes, the first pages of the databases whose headers declare big pages
// and the frames of write-ahead logs with big pages give the pages to read
// whole.
//
// Not thread-safe; one instance per range of the image, merged in order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "scan/page_header.h"
#include "scan/schema_catalog.h"
#include "scan/wal_frames.h"

namespace orv {

// One page to read whole.
struct BigPage {
  std::uint64_t offset = 0;  // of the page's first byte in the image
  std::uint32_t pageBytes = 0;
  // A database's first page: its b-tree header follows the 100-byte database
  // header, and its cells are the schema table's.
  bool firstPage = false;

  friend bool operator==(const BigPage&, const BigPage&) = default;
};

// The page size a table leaf page header at the start of `bytes` needs when
// no page of 4096 bytes or fewer can hold it: the smallest power of two from
// 8192 up that lies past its content start, first freeblock and cell
// pointers. Empty when the bytes open no plausible leaf header (file format,
// "B-tree Page Header Format": at least one cell, at most 60 fragmented
// bytes, the pointer array before the content start, every cell and the
// first freeblock inside the content area) or when a page of 4096 bytes
// holds it. Pointers past the end of `bytes` are not checked.
std::optional<std::uint32_t> BigLeafPageBytes(std::span<const std::uint8_t> bytes);

class BigPageCandidates {
 public:
  // Discovery pass: notes the sector at image `offset` when `bytes` (from
  // the sector on) open a big leaf page header. Inline, as the pass calls it
  // for every sector and most fail the first byte.
  void noteSector(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    if (!bytes.empty() && bytes[0] == kTableLeafPage) noteLeafSector(bytes, offset);
  }

  // noteSector for every sector of the 64 KiB block at image `blockOffset`
  // (`buffer` holds it and the bytes after it).
  void noteBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset);

  // Appends the notes of the range of the image after this one.
  void merge(BigPageCandidates&& later);

  // After the discovery pass: the pages to read, ascending by offset and each
  // once. A noted page has the size its database's header declares, unless
  // its header needs more (it then belongs to a database whose header was
  // not found, and has the size it needs); the first page of each database
  // with big pages and every frame's page of a log with big pages are added.
  std::vector<BigPage> pages(const SchemaCatalog& catalog, std::span<const WalLog> wals) const;

  std::size_t count() const { return noted_.size(); }

 private:
  void noteLeafSector(std::span<const std::uint8_t> bytes, std::uint64_t offset);

  struct Noted {
    std::uint64_t offset;
    std::uint32_t pageBytes;  // the size its header needs
  };
  std::vector<Noted> noted_;
};

}  // namespace orv
