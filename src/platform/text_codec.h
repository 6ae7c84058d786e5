#pragma once
// Conversion between the program's UTF-8 text and the Chinese code pages.
//
// The program keeps all text as UTF-8. The code page matters only where the
// phone's data must be judged the way a GBK system judges it (the name test's
// double-byte ranges, lengths counted in ANSI characters) and where files are
// written for the user. Every function is thread-safe.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// True when `text` is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view text);

// UTF-8 -> GB18030. Every character GBK has comes out byte for byte as in GBK;
// the rest as GB18030 four-byte sequences, so nothing is lost. Empty optional
// when `utf8` is not valid UTF-8.
std::optional<std::string> Utf8ToGb18030(std::string_view utf8);

// GB18030 (and so GBK) -> UTF-8. Empty optional on an invalid sequence.
std::optional<std::string> Gb18030ToUtf8(std::string_view gb);

// Length of `utf8` in bytes of its GB18030 form: what a GBK system counts as
// the length of an ANSI string. Invalid UTF-8 counts its bytes.
std::size_t AnsiLength(std::string_view utf8);

// Encodings of files written for the user.
enum class FileEncoding { kGb18030, kUtf8WithBom };

// `utf8` as the bytes a file of `encoding` holds (a BOM is not included).
std::string EncodeForFile(std::string_view utf8, FileEncoding encoding);

// Parses "gb18030" / "gbk" / "utf-8" / "utf8"; empty optional otherwise.
std::optional<FileEncoding> ParseFileEncoding(std::string_view name);

}  // namespace orv
