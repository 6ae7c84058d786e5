#pragma once
// The permission text that `ls -l` prints ("-rwsr-x---") read into the file's
// mode with its special bits, so that the mode can be put back exactly.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Mode bits, as chmod takes them.
using FileMode = unsigned;
inline constexpr FileMode kOthersRead = 04;

// The mode of a 10-character permission text: type character, then rwx for
// owner, group and others, where the execute places may hold s/S (set-user-ID,
// set-group-ID, with or without execute) and t/T (sticky, others only). A
// trailing "+", "." or "@" (ACL, security-context markers) is ignored. Any
// other character or length gives no value.
std::optional<FileMode> ParseModeText(std::string_view modeText);

// Four octal digits, as chmod takes them: 04750 -> "4750", 0660 -> "0660".
std::string FormatMode(FileMode mode);

// The mode that lets others read the file; the rest is kept.
inline FileMode ReadableByOthers(FileMode mode) { return mode | kOthersRead; }

}  // namespace orv
