#include "results/text_file.h"

#include "platform/atomic_file.h"

namespace orv {
namespace {

// Encoded bytes are handed to the file in pieces of about this size.
constexpr std::size_t kWritePieceBytes = 1 << 20;

LineSource LinesOf(const std::vector<std::string>& lines) {
  return [&lines](const LineSink& sink) {
    for (const std::string& line : lines) sink(line);
    return true;
  };
}

}  // namespace

void LineEncoder::add(std::string_view line, std::string& out) {
  if (!started_ && encoding_ == FileEncoding::kUtf8WithBom) out += "\xEF\xBB\xBF";
  started_ = true;
  EncodedText encoded = EncodeForFile(line, encoding_);
  out += encoded.bytes;
  out += "\r\n";
  unconverted_ += encoded.unconverted;
}

EncodedText EncodeTextLines(const std::vector<std::string>& lines, FileEncoding encoding) {
  EncodedText text;
  LineEncoder encoder(encoding);
  for (const std::string& line : lines) encoder.add(line, text.bytes);
  text.unconverted = encoder.unconverted();
  return text;
}

TextFileOutcome WriteTextLines(const std::string& path, const LineSource& lines,
                               FileEncoding encoding) {
  LineEncoder encoder(encoding);
  const std::error_code error = WriteFileAtomically(path, [&](const ByteSink& write) {
    std::string piece;
    const bool made = lines([&](std::string_view line) {
      encoder.add(line, piece);
      if (piece.size() < kWritePieceBytes) return;
      write(piece);
      piece.clear();
    });
    if (!made) return std::make_error_code(std::errc::invalid_argument);
    write(piece);
    return std::error_code();
  });
  return {error, encoder.unconverted()};
}

TextFileOutcome WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                               FileEncoding encoding) {
  return WriteTextLines(path, LinesOf(lines), encoding);
}

std::string UnconvertedCharactersText(std::size_t count) {
  return std::to_string(count) + " 个字符无法以 GB18030 写出，已写为“" + kUnconvertedMark +
         "”（以 UTF-8 保存可保留原文）";
}

}  // namespace orv
