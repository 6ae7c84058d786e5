// The parsers of what the phone prints for the file browser, imaging and the
// wireless link: free-space texts, permission texts, dd's report, folder
// listings and interface lists. Each must take any bytes without fault.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/tfilebro.h"
#include "device/wireless_address.h"
#include "imaging/dd_report.h"
#include "imaging/file_mode.h"
#include "imaging/free_space_text.h"
#include "imaging/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const auto units :
       {orv::SpaceReportUnits::kWithUnitLetter, orv::SpaceReportUnits::kKibBlocks}) {
    const auto kib = orv::ParseFreeSpaceKib(input, units);
    if (kib && *kib < 0) __builtin_trap();
  }
  if (const auto mode = orv::ParseModeText(input)) {
    if (*mode > 07777 || orv::FormatMode(*mode).size() != 4) __builtin_trap();
  }
  if (const auto number = orv::ParseWholeNumber(input); number && *number < 0) __builtin_trap();
  (void)orv::BytesCopiedByDd(input);
  (void)orv::ReadFolderListing("/data", input);
  orv::WirelessAddressError error{};
  if (const auto found = orv::FindWirelessAddress(input, error)) {
    (void)orv::IsReachableIPv4(found->address);
  }
  (void)orv::DeviceListShowsReady(input, "192.168.1.5");
  return 0;
}
