#pragma once
// Text files written for the user: lines ended by CR LF, in the chosen
// encoding, replaced all at once.

#include <string>
#include <system_error>
#include <vector>

#include "platform/text_codec.h"

namespace orv {

// The bytes of a file holding `lines` (UTF-8), each followed by CR LF.
// GB18030 is byte for byte GBK for every character GBK has; UTF-8 starts with
// a byte order mark, except that no lines give an empty file in both. In
// GB18030, a character without a GB18030 form and each byte of malformed
// UTF-8 are written as kUnconvertedMark and counted.
EncodedText EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding);

struct TextFileOutcome {
  std::error_code error;        // empty when the file was written
  std::size_t unconverted = 0;  // as counted by EncodeTextLines
};

// Writes EncodeTextLines(lines, encoding) to `path` atomically.
TextFileOutcome WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding);

// The activity log's description of `count` characters that a file could not
// hold, so that a replaced character never goes unseen.
std::string UnconvertedCharactersText(std::size_t count);

}  // namespace orv
