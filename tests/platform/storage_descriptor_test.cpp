#include "platform/storage_descriptor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orv {
namespace {

// The answer of a USB stick to the storage property query: the fixed part
// (Version 40, Size 96, RemovableMedia 1, the four text offsets 40, 49, 66,
// 71, BusType 7) and the zero-ended texts after it.
const std::vector<std::uint8_t> kUsbStick = {
    0x28, 0x00, 0x00, 0x00, 0x60, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x28, 0x00, 0x00, 0x00,
    0x31, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00, 0x47, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4b, 0x69, 0x6e, 0x67, 0x73, 0x74, 0x6f, 0x6e,
    0x00, 0x44, 0x61, 0x74, 0x61, 0x54, 0x72, 0x61, 0x76, 0x65, 0x6c, 0x65, 0x72, 0x20, 0x33, 0x2e,
    0x30, 0x00, 0x50, 0x4d, 0x41, 0x50, 0x00, 0x36, 0x30, 0x41, 0x34, 0x34, 0x43, 0x33, 0x46, 0x41,
    0x43, 0x43, 0x39, 0x33, 0x31, 0x31, 0x30, 0x42, 0x39, 0x39, 0x37, 0x30, 0x30, 0x34, 0x36, 0x00,
};
constexpr std::size_t kSizeFieldAt = 4;

// The stick's answer cut to `returned` bytes with `sizeField` in its size
// field, in a buffer of exactly that length so that a read past it is caught.
std::vector<std::uint8_t> Answer(std::size_t returned, std::uint32_t sizeField) {
  std::vector<std::uint8_t> bytes(kUsbStick.begin(), kUsbStick.begin() + returned);
  if (returned >= kSizeFieldAt + 4)
    for (int i = 0; i < 4; ++i) bytes[kSizeFieldAt + i] = (sizeField >> (8 * i)) & 0xFF;
  return bytes;
}

TEST(StorageDescriptorTest, TextsAreReadWithinTheReturnedBytesAndTheSizeField) {
  const struct {
    const char* what;
    std::size_t returned;
    std::uint32_t sizeField;
    const char* vendor;
    const char* product;
    const char* revision;
    const char* serial;
  } cases[] = {
      {"the whole answer", 96, 96, "Kingston", "DataTraveler 3.0", "PMAP",
       "60A44C3FACC93110B9970046"},
      {"size field larger than the buffer", 96, 1024, "Kingston", "DataTraveler 3.0", "PMAP",
       "60A44C3FACC93110B9970046"},
      {"serial without its zero", 95, 96, "Kingston", "DataTraveler 3.0", "PMAP",
       "60A44C3FACC93110B9970046"},
      {"answer cut inside the product", 60, 551, "Kingston", "DataTravele", "", ""},
      {"size field cuts the product", 96, 55, "Kingston", "DataTr", "", ""},
      {"size field below the fixed part", 96, 8, "", "", "", ""},
      {"only the fixed part", 36, 96, "", "", "", ""},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes = Answer(c.returned, c.sizeField);
    const auto parsed = ParseStorageDescriptor(bytes);
    ASSERT_TRUE(parsed) << c.what;
    EXPECT_EQ(parsed->busType, 7u) << c.what;
    EXPECT_TRUE(parsed->removable) << c.what;
    EXPECT_EQ(parsed->vendor, c.vendor) << c.what;
    EXPECT_EQ(parsed->product, c.product) << c.what;
    EXPECT_EQ(parsed->revision, c.revision) << c.what;
    EXPECT_EQ(parsed->serial, c.serial) << c.what;
  }
}

TEST(StorageDescriptorTest, AnAnswerShorterThanTheFixedPartIsNoDescriptor) {
  EXPECT_FALSE(ParseStorageDescriptor(Answer(35, 96)));
  EXPECT_FALSE(ParseStorageDescriptor({}));
}

TEST(StorageDescriptorTest, OffsetsIntoTheFixedPartOrPastTheEndNameNothing) {
  std::vector<std::uint8_t> bytes = kUsbStick;
  bytes[12] = 8;     // vendor offset inside the fixed part
  bytes[16] = 0;     // no product
  bytes[20] = 0x60;  // revision offset at the end
  bytes[24] = 0xFF;  // serial offset far past it
  bytes[25] = 0xFF;
  const auto parsed = ParseStorageDescriptor(bytes);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->vendor, "");
  EXPECT_EQ(parsed->product, "");
  EXPECT_EQ(parsed->revision, "");
  EXPECT_EQ(parsed->serial, "");
}

TEST(StorageDescriptorTest, BlankPaddedTextsAreTrimmed) {
  std::vector<std::uint8_t> bytes = kUsbStick;
  bytes[0x31] = ' ';  // "DataTraveler 3.0" becomes " ataTraveler 3.0"
  bytes[0x40] = ' ';  // and ends in a blank
  const auto parsed = ParseStorageDescriptor(bytes);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->product, "ataTraveler 3.");
}

TEST(StorageDescriptorTest, BusNames) {
  const struct {
    unsigned type;
    const char* name;
  } cases[] = {{0, "Unknow"}, {1, "SCSI"},          {2, "Atapi"}, {3, "ATA"},      {4, "1394"},
               {5, "SSA"},    {6, "Fibre"},         {7, "USB"},   {8, "RAID"},     {9, ""},
               {11, ""},      {12, "SD"},           {13, "SD"},   {14, ""},        {17, ""},
               {126, ""},     {127, "MaxReserved"}, {128, ""},    {0xFFFFFFFF, ""}};
  for (const auto& c : cases) EXPECT_EQ(BusName(c.type), c.name) << c.type;
}

}  // namespace
}  // namespace orv
