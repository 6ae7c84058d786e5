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
// a byte order mark, except that no lines give an empty file in both. A line
// that is not valid UTF-8 keeps its bytes.
std::string EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding);

// Writes EncodeTextLines(lines, encoding) to `path` atomically. Returns the
// cause of a failure, or an empty error code.
std::error_code WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding);

}  // namespace orv
