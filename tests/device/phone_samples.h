#pragma once
// Real command outputs of phones (tests/data/phones, stored with LF line ends)
// and the line ends a phone's answer reaches the program with.

#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

enum class LineEnd { kLf, kCrLf, kCrCrLf };

inline constexpr LineEnd kAllLineEnds[] = {LineEnd::kLf, LineEnd::kCrLf, LineEnd::kCrCrLf};

std::string_view LineEndName(LineEnd end);

// `text` with every LF turned into the line end `end`.
std::string WithLineEnds(std::string_view text, LineEnd end);

// The file `name` of phone folder `phone`, as stored; an empty text (and a
// test failure) when it cannot be read.
std::string PhoneSample(std::string_view phone, std::string_view name);

}  // namespace orv::test
