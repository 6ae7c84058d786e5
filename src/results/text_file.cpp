#include "results/text_file.h"

#include "platform/atomic_file.h"

namespace orv {

EncodedText EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding) {
  EncodedText text;
  if (lines.empty()) return text;
  if (encoding == FileEncoding::kUtf8WithBom) text.bytes = "\xEF\xBB\xBF";
  for (const std::string& line : lines) {
    EncodedText encoded = EncodeForFile(line, encoding);
    text.bytes += encoded.bytes;
    text.bytes += "\r\n";
    text.unconverted += encoded.unconverted;
  }
  return text;
}

TextFileOutcome WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding) {
  const EncodedText text = EncodeTextLines(lines, encoding);
  return {WriteFileAtomically(path, text.bytes), text.unconverted};
}

std::string UnconvertedCharactersText(std::size_t count) {
  return std::to_string(count) + " 个字符无法以 GB18030 写出，已写为“" + kUnconvertedMark +
         "”（以 UTF-8 保存可保留原文）";
}

}  // namespace orv
