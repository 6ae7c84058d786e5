// Feeds arbitrary bytes, as a phone or adb might print them, to the device
// list parser, the line helpers and the phone path check, and checks what
// each promises about its result.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/device_list.h"
#include "device/line_helpers.h"
#include "device/phone_path.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

bool Inside(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (const std::string_view line : orv::SplitLines(text)) {
    Require(Inside(line, text));
    Require(line.find('\n') == std::string_view::npos);
    for (const std::string_view word : orv::Words(line)) {
      Require(!word.empty() && Inside(word, line));
      Require(word.find_first_of(" \t\r") == std::string_view::npos);
    }
  }
  if (size > 0) {
    const std::string_view key = text.substr(0, 1 + data[0] % 8);
    if (const auto value = orv::ValueAfterKey(text, key)) {
      Require(Inside(*value, text));
      Require(value->find('\n') == std::string_view::npos);
    }
  }

  const orv::DeviceList list = orv::ParseDeviceList(text);
  Require(list.headerSeen || list.devices.empty());
  for (const auto& device : list.devices) {
    Require(!device.serial.empty());
    Require(device.serial.find_first_of(" \t\r\n") == std::string::npos);
  }
  const orv::ConnectionCheck check = orv::CheckConnection(list);
  Require(!check.connected() || list.devices.size() == 1);
  const std::string advice = orv::ConnectionAdvice(check);
  for (const char c : advice) Require(static_cast<unsigned char>(c) >= 0x20);

  if (orv::IsSafePhonePath(text)) {
    Require(!text.empty() && text.front() == '/');
    Require(text.find_first_of(" \t\r\n\"'`$;|&<>\\*?()[]{}~#%=!^") == std::string_view::npos);
    Require(text.find('\0') == std::string_view::npos);
  }
  for (const char c : orv::PrintableForLog(text)) {
    const auto byte = static_cast<unsigned char>(c);
    Require(byte >= 0x20 && byte != 0x7F);
  }
  return 0;
}
