#pragma once
// The storage device descriptor that Windows answers to a storage property
// query (STORAGE_DEVICE_DESCRIPTOR): bus type, removable flag and the offsets
// of zero-ended identification texts inside the descriptor. Kept apart from
// the Win32 calls so that the parsing of recorded answers is tested on every
// system.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orv {

struct StorageDescriptor {
  unsigned busType = 0;
  bool removable = false;
  // Blank-trimmed; empty when the descriptor names none.
  std::string vendor;
  std::string product;
  std::string revision;
  std::string serial;
};

// Parses the bytes a query returned. Reads only inside `returned` and inside
// the descriptor's own size field, whichever ends first: a size field larger
// than what was returned (a descriptor cut short by the answer buffer) does
// not lead past the bytes at hand. Empty when fewer bytes than the fixed part
// came back.
std::optional<StorageDescriptor> ParseStorageDescriptor(std::span<const std::uint8_t> returned);

// The bus name of a descriptor's bus type: "Unknow", "SCSI", "Atapi", "ATA",
// "1394", "SSA", "Fibre", "USB", "RAID", "MaxReserved" for 0-8 and 127, and
// "SD" for the SD and MMC buses of built-in card readers. Empty for any other
// type.
std::string BusName(unsigned busType);

}  // namespace orv
