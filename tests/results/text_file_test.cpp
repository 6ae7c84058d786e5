#include "results/text_file.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace orv {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// `count` lines of about `width` bytes, each ending in Chinese text and a
// lone byte that is no UTF-8 (written as kUnconvertedMark in GB18030).
std::vector<std::string> Lines(std::size_t count, std::size_t width) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i)
    lines.push_back(std::to_string(i) + std::string(width, 'x') + "短信\xFF");
  return lines;
}

TEST(TextFileTest, LinesWrittenPieceByPieceGiveTheBytesOfTheWholeText) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"no lines", {}},
      {"one empty line", {""}},
      {"a few lines", Lines(3, 10)},
      // Past the size of one written piece (1 MiB) several times.
      {"several pieces", Lines(3000, 1000)},
      {"one line longer than a piece", Lines(1, 3 << 20)},
  };
  for (const Case& c : cases) {
    for (const FileEncoding encoding : {FileEncoding::kGb18030, FileEncoding::kUtf8WithBom}) {
      TempDir dir;
      const std::string path = dir.file("out.txt");
      const TextFileOutcome outcome = WriteTextLines(path, c.lines, encoding);
      const EncodedText whole = EncodeTextLines(c.lines, encoding);
      EXPECT_FALSE(outcome.error) << c.name;
      EXPECT_EQ(ReadBytes(path), whole.bytes) << c.name;
      EXPECT_EQ(outcome.unconverted, whole.unconverted) << c.name;
      // Only a file with lines starts with the byte order mark.
      EXPECT_EQ(whole.bytes.starts_with("\xEF\xBB\xBF"),
                encoding == FileEncoding::kUtf8WithBom && !c.lines.empty())
          << c.name;
    }
  }
}

TEST(TextFileTest, ASourceThatFailsLeavesTheOldFile) {
  struct Case {
    const char* name;
    std::size_t linesBeforeFailing;
  };
  // Before anything is written, and after more than a piece has gone to disk.
  for (const Case c : {Case{"at once", 0}, Case{"after several pieces", 3000}}) {
    TempDir dir;
    const std::string path = dir.file("out.txt");
    WriteBytes(path, "old");
    const std::vector<std::string> lines = Lines(c.linesBeforeFailing, 1000);
    const TextFileOutcome outcome = WriteTextLines(
        path,
        [&](const LineSink& sink) {
          for (const std::string& line : lines) sink(line);
          return false;
        },
        FileEncoding::kGb18030);
    EXPECT_EQ(outcome.error, std::make_error_code(std::errc::invalid_argument)) << c.name;
    EXPECT_EQ(ReadBytes(path), "old") << c.name;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.txt"}) << c.name;
  }
}

}  // namespace
}  // namespace orv
