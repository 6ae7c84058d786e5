// Whole disks from sysfs: one folder per disk under /sys/block, its size in
// 512-byte units in "size", and its "device" link resolving into the bus
// topology (…/usb1/…, …/mmc_host/mmc0/…, …/ata1/…, …/nvme/nvme0).

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/disk_list.h"
#include "platform/disk_numbering.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// sysfs counts sizes in 512-byte units whatever the disk's own sector size.
constexpr std::uint64_t kSysfsUnitBytes = 512;
// Descriptions are one short line; anything longer is not read.
constexpr std::size_t kMaxAttributeBytes = 256;

// Virtual and optical devices: no card or stick is ever one of them.
constexpr std::array<std::string_view, 7> kSkippedPrefixes = {"loop", "ram", "zram", "dm-",
                                                              "md",   "sr",  "nbd"};

bool IsSkipped(std::string_view name) {
  return std::any_of(kSkippedPrefixes.begin(), kSkippedPrefixes.end(),
                     [&](std::string_view prefix) { return name.starts_with(prefix); });
}

// The first line of a sysfs attribute, blank-trimmed; empty when missing.
std::string ReadAttribute(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxAttributeBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  text = text.substr(0, text.find('\n'));
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::uint64_t> ReadSizeBytes(const fs::path& disk) {
  const std::string text = ReadAttribute(disk / "size");
  std::uint64_t units = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), units);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (units > UINT64_MAX / kSysfsUnitBytes) return std::nullopt;
  return units * kSysfsUnitBytes;
}

std::string BusOfDevicePath(const std::string& resolved) {
  if (resolved.find("/usb") != std::string::npos) return "USB";  // also a card reader on USB
  if (resolved.find("/mmc_host/") != std::string::npos) return "SD";
  if (resolved.find("/ata") != std::string::npos) return "ATA";
  if (resolved.find("nvme") != std::string::npos) return "NVMe";
  return "Unknow";
}

// A USB disk's serial belongs to the USB device (the folder with idVendor)
// above the SCSI device; other buses keep it beside the device.
std::string SerialOf(const fs::path& device, const std::string& bus) {
  std::string serial = ReadAttribute(device / "serial");
  if (!serial.empty() || bus != "USB") return serial;
  for (fs::path up = device.parent_path(); up.has_relative_path() && up.filename() != "devices";
       up = up.parent_path()) {
    std::error_code ec;
    if (fs::exists(up / "idVendor", ec)) return ReadAttribute(up / "serial");
  }
  return {};
}

std::optional<DiskInfo> Describe(const fs::path& disk, const DiskPlaces& places) {
  DiskInfo info;
  info.kernelName = disk.filename().string();
  const auto size = ReadSizeBytes(disk);
  if (!size || *size == 0) return std::nullopt;  // size 0: an empty card-reader slot
  info.sizeBytes = *size;
  info.node = (fs::path(places.devices) / info.kernelName).string();
  info.number = LinuxDiskNumber(info.kernelName);
  info.removable = ReadAttribute(disk / "removable") == "1";
  std::error_code ec;
  const fs::path device = fs::canonical(disk / "device", ec);
  if (ec) {
    info.bus = "Unknow";
    return info;
  }
  info.bus = BusOfDevicePath(device.string());
  info.vendor = ReadAttribute(device / "vendor");
  info.model = ReadAttribute(device / "model");
  if (info.model.empty()) info.model = ReadAttribute(device / "name");  // SD and MMC cards
  info.revision = ReadAttribute(device / "rev");
  if (info.revision.empty()) info.revision = ReadAttribute(device / "fwrev");
  info.serial = SerialOf(device, info.bus);
  return info;
}

}  // namespace

std::vector<DiskInfo> ListDisks(const DiskPlaces& places) {
  std::vector<DiskInfo> disks;
  std::error_code ec;
  for (fs::directory_iterator it(places.sysBlock, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsSkipped(name)) continue;
    if (auto info = Describe(it->path(), places)) disks.push_back(std::move(*info));
  }
  std::sort(disks.begin(), disks.end(), [](const DiskInfo& a, const DiskInfo& b) {
    if (a.number.has_value() != b.number.has_value()) return a.number.has_value();
    if (a.number != b.number) return a.number < b.number;
    return a.kernelName < b.kernelName;
  });
  return disks;
}

}  // namespace orv
