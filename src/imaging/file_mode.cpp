#include "imaging/file_mode.h"

namespace orv {
namespace {

constexpr std::size_t kModeTextLength = 10;

struct ClassBits {
  FileMode read, write, execute, special;  // special: setuid, setgid or sticky
  char specialLetter;                      // 's' or 't'
};

// Owner, group, others: where each class's bits sit and which special bit its
// execute place can show.
constexpr ClassBits kClasses[] = {
    {0400, 0200, 0100, 04000, 's'},
    {040, 020, 010, 02000, 's'},
    {04, 02, 01, 01000, 't'},
};

}  // namespace

std::optional<FileMode> ParseModeText(std::string_view modeText) {
  if (modeText.size() == kModeTextLength + 1) {
    const char marker = modeText.back();
    if (marker != '+' && marker != '.' && marker != '@') return std::nullopt;
    modeText.remove_suffix(1);
  }
  if (modeText.size() != kModeTextLength) return std::nullopt;
  FileMode mode = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const ClassBits& bits = kClasses[i];
    const std::string_view places = modeText.substr(1 + 3 * i, 3);
    if (places[0] == 'r') {
      mode |= bits.read;
    } else if (places[0] != '-') {
      return std::nullopt;
    }
    if (places[1] == 'w') {
      mode |= bits.write;
    } else if (places[1] != '-') {
      return std::nullopt;
    }
    const char execute = places[2];
    const char upper = static_cast<char>(bits.specialLetter - 'a' + 'A');
    if (execute == 'x') {
      mode |= bits.execute;
    } else if (execute == bits.specialLetter) {
      mode |= bits.execute | bits.special;
    } else if (execute == upper) {
      mode |= bits.special;
    } else if (execute != '-') {
      return std::nullopt;
    }
  }
  return mode;
}

std::string FormatMode(FileMode mode) {
  std::string text(4, '0');
  for (int i = 3; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + (mode & 07));
    mode >>= 3;
  }
  return text;
}

}  // namespace orv
