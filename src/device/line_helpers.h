#pragma once
// Line and word helpers shared by every parser of what a phone prints.
// Phones end lines with LF (adb's shell protocol, Android 7 on) or CR LF
// (older phones, through a pty); adb on Windows adds one more CR (CR CR LF).
// All of them read the same here.

#include <optional>
#include <string_view>
#include <vector>

namespace orv {

// The lines of `text`, each without its end. A line ends at LF; the CRs
// right before that LF belong to the end (so LF, CR LF and CR CR LF all
// work). A last line without an end counts; an empty text has no lines, and
// a text ending with an end has no empty line after it. A CR elsewhere stays
// in its line. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// `line` without its leading and trailing blanks (space, tab, CR, LF).
std::string_view TrimBlanks(std::string_view line);

// What follows the first occurrence of `key` in `text`, up to the end of
// that line (its CRs dropped), untrimmed: "ro.product.model=GT-P1010" gives
// "GT-P1010" for the key "ro.product.model=". Empty optional when `key` is
// empty or does not occur.
std::optional<std::string_view> ValueAfterKey(std::string_view text, std::string_view key);

// The runs of characters other than blanks (space, tab, CR, LF) in `line`.
std::vector<std::string_view> Words(std::string_view line);

}  // namespace orv
