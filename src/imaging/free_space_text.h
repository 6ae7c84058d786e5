#pragma once
// The free space of a card as the phone's space report prints it ("1.2G",
// "512M", "300K", "2048B", or a bare count of 1 KiB blocks).

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// How the space report printed its numbers: the six-column layout
// ("Filesystem 1K-blocks Used Available Use% Mounted on") prints bare counts
// of 1 KiB blocks; the five-column layout prints sizes with a unit letter.
enum class SpaceReportUnits { kWithUnitLetter, kKibBlocks };

// `text` read as KiB, rounded down: a decimal number (digits, optionally one
// "." and more digits) followed by one of the unit letters T, G, M, K, B
// (B counts bytes). A bare number counts as KiB only with kKibBlocks. Any
// other text, or a value that does not fit 64 bits, gives no value.
std::optional<std::int64_t> ParseFreeSpaceKib(std::string_view text, SpaceReportUnits units);

}  // namespace orv
