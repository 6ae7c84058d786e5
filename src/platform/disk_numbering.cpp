#include "platform/disk_numbering.h"

namespace orv {
namespace {

constexpr std::string_view kScsiPrefix = "sd";
constexpr std::string_view kCardPrefix = "mmcblk";
constexpr unsigned kLetters = 26;

}  // namespace

std::optional<unsigned> LinuxDiskNumber(std::string_view kernelName) {
  if (kernelName.starts_with(kCardPrefix)) {
    const std::string_view digits = kernelName.substr(kCardPrefix.size());
    // "mmcblk0p1" is a partition, "mmcblk00" no kernel name.
    if (digits.empty() || digits.size() > 2 || (digits.size() > 1 && digits[0] == '0'))
      return std::nullopt;
    unsigned k = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      k = k * 10 + static_cast<unsigned>(c - '0');
    }
    if (k > kMaxDiskNumber - kFirstCardReaderNumber) return std::nullopt;
    return kFirstCardReaderNumber + k;
  }
  if (!kernelName.starts_with(kScsiPrefix)) return std::nullopt;
  const std::string_view letters = kernelName.substr(kScsiPrefix.size());
  if (letters.empty() || letters.size() > 2) return std::nullopt;
  unsigned value = 0;  // bijective base 26: "a" 1 ... "z" 26, "aa" 27
  for (const char c : letters) {
    if (c < 'a' || c > 'z') return std::nullopt;
    value = value * kLetters + static_cast<unsigned>(c - 'a') + 1;
  }
  if (value > kFirstCardReaderNumber) return std::nullopt;  // would meet "mmcblk0"
  return value - 1;
}

std::optional<std::string> LinuxDiskName(unsigned number) {
  if (number > kMaxDiskNumber) return std::nullopt;
  if (number >= kFirstCardReaderNumber)
    return std::string(kCardPrefix) + std::to_string(number - kFirstCardReaderNumber);
  std::string letters;
  for (unsigned value = number + 1; value > 0; value = (value - 1) / kLetters)
    letters.insert(letters.begin(), static_cast<char>('a' + (value - 1) % kLetters));
  return std::string(kScsiPrefix) + letters;
}

}  // namespace orv
