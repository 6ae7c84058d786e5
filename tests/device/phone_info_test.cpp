#include "device/phone_info.h"

#include <gtest/gtest.h>

#include "device/phone_samples.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::LineEndName;
using test::PhoneSample;
using test::WithLineEnds;

TEST(ReadBuildProperties, RealBuildPropsWithEveryLineEnd) {
  const struct {
    const char* phone;
    const char* model;
    std::vector<std::string> values;
  } cases[] = {
      {"samsung-gt-p1010-android-2.2.2", "GT-P1010", {"FROYO.UJKM5", "2.2.2", "en", "GB"}},
      {"xiaomi-hm1s-armani-android-4.3", "HM 1S", {"JLS36C", "4.3", "zh", "CN"}},
  };
  for (const auto& c : cases) {
    for (const auto end : kAllLineEnds) {
      const BuildProperties properties =
          ReadBuildProperties(WithLineEnds(PhoneSample(c.phone, "build.prop.txt"), end));
      EXPECT_EQ(properties.model, c.model) << c.phone << LineEndName(end);
      EXPECT_EQ(properties.values, c.values) << c.phone << LineEndName(end);
      EXPECT_TRUE(properties.anyValueKey);
    }
  }
}

TEST(ReadBuildProperties, MissingKeysLeaveNoGap) {
  const BuildProperties only = ReadBuildProperties("ro.build.version.release=8.1.0\r\r\n");
  EXPECT_EQ(only.model, std::nullopt);
  EXPECT_EQ(only.values, std::vector<std::string>{"8.1.0"});
  const BuildProperties emptyModel = ReadBuildProperties("ro.product.model=\nx=y\n");
  EXPECT_EQ(emptyModel.model, "");
  EXPECT_FALSE(emptyModel.anyValueKey);
  EXPECT_TRUE(emptyModel.values.empty());
}

TEST(CpuHardware, TabOrBlanksBeforeTheColon) {
  const struct {
    const char* phone;
    const char* hardware;
  } cases[] = {
      {"samsung-gt-p1010-android-2.2.2", " P1Lite Samsung Board"},
      {"asus-tf201-android-3.2.1", " cardhu"},
      {"asus-tf201-android-4.0.3", " cardhu"},
      {"lge-nexus5-probable-android-5.x", " Qualcomm MSM 8974 HAMMERHEAD (Flattened Device Tree)"},
  };
  for (const auto& c : cases) {
    for (const auto end : kAllLineEnds) {
      EXPECT_EQ(CpuHardware(WithLineEnds(PhoneSample(c.phone, "cpuinfo.txt"), end)), c.hardware)
          << c.phone << LineEndName(end);
    }
  }
  EXPECT_EQ(CpuHardware("Processor\t: AArch64\nHardwareX\t: no\nHard ware: no\n"), std::nullopt);
  EXPECT_EQ(CpuHardware(""), std::nullopt);
}

TEST(MemoryTotal, TrimmedValue) {
  for (const auto end : kAllLineEnds) {
    EXPECT_EQ(MemoryTotal(WithLineEnds(
                  PhoneSample("unknown-android-awesome-adb-samples", "meminfo.txt"), end)),
              "1027424 kB");
    EXPECT_EQ(
        MemoryTotal(WithLineEnds(PhoneSample("asus-tf201-android-3.2.1", "meminfo.txt"), end)),
        "1008528 kB");
  }
  EXPECT_EQ(MemoryTotal("MemFree: 5 kB\n"), std::nullopt);
}

}  // namespace
}  // namespace orv
