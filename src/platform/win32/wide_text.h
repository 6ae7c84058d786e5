#pragma once
// Conversions between byte text in a Windows code page and the UTF-16 text the
// W calls take. The program's paths and command lines are UTF-8; handing them
// to the W calls (never the A calls) keeps Chinese names intact whatever the
// system's ANSI code page is.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orv::win32 {

// `text` in `codePage` as UTF-16; empty optional on a sequence invalid in that
// code page. Zero bytes convert like any other character.
std::optional<std::wstring> ToWide(unsigned codePage, std::string_view text);

// UTF-16 `text` in `codePage`; empty optional on a character the code page
// cannot hold or on a lone surrogate. Only CP_UTF8 reports such characters
// instead of replacing them, so only it is accepted.
std::optional<std::string> FromWide(unsigned codePage, std::wstring_view text);

// A UTF-8 path or command line as a zero-terminated UTF-16 string for the W
// calls. Empty optional when it is not valid UTF-8 or holds a zero byte, which
// would silently cut it short.
std::optional<std::wstring> ToWideCString(std::string_view utf8);

// Paths from this length on (in UTF-16 units) get the "\\?\" prefix: the
// longest folder CreateDirectoryW takes without it (MAX_PATH less room for an
// 8.3 file name).
inline constexpr std::size_t kLongPathLength = 248;

// A UTF-8 path for the W file calls, as ToWideCString, but a path of
// kLongPathLength or more is made absolute (both slashes accepted, "." and
// ".." resolved) and given the "\\?\" prefix ("\\?\UNC\" for a share),
// which lifts MAX_PATH. A path already starting "\\?\" only has its slashes
// turned into backslashes; one starting "\\.\" (a device) is left alone.
std::optional<std::wstring> ToWidePath(std::string_view utf8);

}  // namespace orv::win32
