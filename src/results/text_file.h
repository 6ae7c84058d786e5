#pragma once
// Text files written for the user: lines ended by CR LF, in the chosen
// encoding, replaced all at once.

#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/text_codec.h"

namespace orv {

// Takes the next line of a file (UTF-8, without its line end).
using LineSink = std::function<void(std::string_view line)>;
// Hands a file's lines to the sink in order; false when they cannot all be
// made, and the file is then left as it was.
using LineSource = std::function<bool(const LineSink& line)>;

// Encodes lines one at a time into the bytes of a file: each followed by
// CR LF. GB18030 is byte for byte GBK for every character GBK has; UTF-8
// starts with a byte order mark, except that no lines give an empty file in
// both. In GB18030, a character without a GB18030 form and each byte of
// malformed UTF-8 are written as kUnconvertedMark and counted.
class LineEncoder {
 public:
  explicit LineEncoder(FileEncoding encoding) : encoding_(encoding) {}
  // Appends the bytes of `line` (and, before the first, the byte order mark)
  // to `out`.
  void add(std::string_view line, std::string& out);
  std::size_t unconverted() const { return unconverted_; }

 private:
  FileEncoding encoding_;
  bool started_ = false;
  std::size_t unconverted_ = 0;
};

// The bytes of a file holding `lines`, as LineEncoder makes them.
EncodedText EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding);

struct TextFileOutcome {
  std::error_code error;        // empty when the file was written
  std::size_t unconverted = 0;  // as counted by LineEncoder
};

// Writes the lines `lines` makes to `path` atomically, encoding and writing
// them a piece at a time, so that the file is never held whole. A source that
// fails gives the error std::errc::invalid_argument.
TextFileOutcome WriteTextLines(const std::string& path, const LineSource& lines,
                               FileEncoding encoding);
TextFileOutcome WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding);

// The activity log's description of `count` characters that a file could not
// hold, so that a replaced character never goes unseen.
std::string UnconvertedCharactersText(std::size_t count);

}  // namespace orv
