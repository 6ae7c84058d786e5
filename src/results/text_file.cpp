#include "results/text_file.h"

#include "platform/atomic_file.h"

namespace orv {

std::string EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding) {
  std::string bytes;
  if (lines.empty()) return bytes;
  if (encoding == FileEncoding::kUtf8WithBom) bytes = "\xEF\xBB\xBF";
  // Line by line, so one line that does not convert leaves the others alone.
  for (const std::string& line : lines) {
    bytes += EncodeForFile(line, encoding);
    bytes += "\r\n";
  }
  return bytes;
}

std::error_code WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding) {
  return WriteFileAtomically(path, EncodeTextLines(lines, encoding));
}

}  // namespace orv
