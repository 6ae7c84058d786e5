// The imaging worker against the fake phone's scripted copies.

#include "imaging/timage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "device/fake_phone.h"
#include "imaging/recording_imaging_view.h"
#include "platform/utf8_path.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using testing::FakePhone;
using testing::RecordingImagingView;

constexpr ImagingTimings kQuick{std::chrono::milliseconds(40), std::chrono::milliseconds(20),
                                std::chrono::milliseconds(1500)};
constexpr std::string_view kPartition = "/dev/block/mmcblk0p12";
constexpr std::string_view kImageOnCard = "/mnt/sdcard/external_sd/mmcblk0p12.img";
constexpr std::string_view kCardDevice = "/dev/block/vold/179:97";
constexpr std::string_view kPhoneFile =
    "/data/data/com.android.providers.contacts/databases/contacts2.db";

class TimageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder with a blank and Chinese characters, as examiners name cases;
    // one per process, since ctest runs tests side by side.
    folder_ = fs::temp_directory_path() / fs::path(u8"orv-timage-" +
                                                   std::u8string(reinterpret_cast<const char8_t*>(
                                                       std::to_string(::getpid()).c_str())) +
                                                   u8"-案例 1");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code error;
    fs::permissions(folder_, fs::perms::owner_all, error);
    fs::remove_all(folder_, error);
  }

  std::string pcFolder() const {
    const std::u8string text = folder_.u8string() + u8"/";
    return std::string(text.begin(), text.end());
  }
  fs::path local(std::string_view name) const { return folder_ / Utf8Path(name); }

  ImagingPlan partitionPlan(ImagingWay way, std::int64_t size) const {
    ImagingPlan plan;
    plan.way = way;
    plan.source = std::string(kPartition);
    plan.phoneTarget = std::string(way == ImagingWay::kRawCard ? kCardDevice : kImageOnCard);
    plan.pcFolder = way == ImagingWay::kRawCard ? std::string() : pcFolder();
    plan.sizeBytes = size;
    return plan;
  }
  ImagingPlan filePlan(std::string source, std::int64_t size) const {
    ImagingPlan plan;
    plan.way = ImagingWay::kFile;
    plan.source = std::move(source);
    plan.pcFolder = pcFolder();
    plan.sizeBytes = size;
    return plan;
  }

  ImagingOutcome run(const ImagingPlan& plan) {
    Timage imaging(plan, view_, false, kQuick);
    return imaging.run();
  }

  // Runs `plan` on a thread and stops it once `started` holds.
  ImagingOutcome runAndStop(const ImagingPlan& plan, const std::function<bool()>& started) {
    Timage imaging(plan, view_, false, kQuick);
    ImagingOutcome outcome{};
    std::thread worker([&] { outcome = imaging.run(); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!started() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    imaging.requestStop();
    worker.join();
    return outcome;
  }

  void expectFinished() {
    EXPECT_FALSE(view_.imagingRunning.load());
    EXPECT_EQ(view_.status(0), "就绪");
    EXPECT_EQ(view_.status(1), "");
  }

  fs::path folder_;
  RecordingImagingView view_;
};

TEST_F(TimageTest, SmallImageGoesOntoTheCardThenToThePc) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("copy-size", "1048576");
  EXPECT_EQ(run(partitionPlan(ImagingWay::kSmallImage, 1048576)), ImagingOutcome::kComplete);
  EXPECT_EQ(fs::file_size(local("mmcblk0p12.img")), 1048576u);
  EXPECT_TRUE(view_.logged("镜像完毕|文件成功镜像到了外置SD卡或者外部存储中"));
  EXPECT_TRUE(view_.logged("镜像完毕|文件成功镜像到了指定的Windows路径"));
  EXPECT_FALSE(view_.loggedStart("进程工作|"));  // the small way reads no process list
  EXPECT_EQ(view_.gaugeMaximum.load(), 2048);
  EXPECT_EQ(view_.gaugePosition.load(), 2048);
  EXPECT_TRUE(view_.messages().empty());
  EXPECT_EQ(view_.connection(), "连接正常");
  expectFinished();
  const std::vector<std::string> commands = phone.phoneCommands();
  EXPECT_NE(std::find(commands.begin(), commands.end(),
                      "su -c \"dd if=/dev/block/mmcblk0p12 of=" + std::string(kImageOnCard) + "\""),
            commands.end());
}

TEST_F(TimageTest, ImageWayReadsTheProcessListFirstEvenFromToybox) {
  FakePhone phone("android-8.1-mediatek-mt6580");  // toybox ps never lists dd
  phone.set("copy-size", "52428801");
  phone.set("copy-rate", "1000000000");
  EXPECT_EQ(run(partitionPlan(ImagingWay::kImage, 52428801)), ImagingOutcome::kComplete);
  EXPECT_TRUE(view_.logged("进程工作|安卓系统镜像进程开始工作"));
  EXPECT_EQ(fs::file_size(local("mmcblk0p12.img")), 52428801u);
}

TEST_F(TimageTest, RawCardEndsWhenDdHasEndedNotWhenPsStopsListingIt) {
  FakePhone phone("android-8.1-mediatek-mt6580");
  phone.set("copy-size", "4194304");
  phone.set("copy-rate", "8388608");  // half a second
  EXPECT_EQ(run(partitionPlan(ImagingWay::kRawCard, 4194304)), ImagingOutcome::kComplete);
  const std::vector<std::string> messages = view_.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0],
            "注意您现在要镜像的是大于4G的物理盘符，镜像的速度可能会比较慢，希望您能够耐心等待！");
  EXPECT_TRUE(messages[1].starts_with("物理盘镜像完毕"));
  EXPECT_TRUE(view_.logged("镜像完毕|文件成功镜像到了外置SD卡或者外部存储中"));
  EXPECT_TRUE(fs::is_empty(folder_));  // nothing on the PC
}

TEST_F(TimageTest, RawCardShortOfItsSizeIsIncomplete) {
  FakePhone phone("android-4.0-freescale-imx6q");  // toolbox ps lists dd
  phone.set("copy-size", "4194304");
  phone.set("copy-end", "fail:1048576");
  EXPECT_EQ(run(partitionPlan(ImagingWay::kRawCard, 4194304)), ImagingOutcome::kFailed);
  EXPECT_TRUE(view_.logged("出错|镜像不完整: 期望 4194304 字节, 实际 1048576 字节"));
  EXPECT_FALSE(view_.loggedStart("镜像完毕|"));
}

struct ShortCopyCase {
  const char* name;
  const char* copyEnd;
  std::int64_t actual;
};

class TimageShortCopyTest : public TimageTest,
                            public ::testing::WithParamInterface<ShortCopyCase> {};

TEST_P(TimageShortCopyTest, EndsAsIncompleteWithTheLengthsNamed) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("copy-size", "1048576");
  phone.set("copy-end", GetParam().copyEnd);
  EXPECT_EQ(run(partitionPlan(ImagingWay::kSmallImage, 1048576)), ImagingOutcome::kFailed);
  const std::string text =
      "镜像不完整: 期望 1048576 字节, 实际 " + std::to_string(GetParam().actual) + " 字节";
  EXPECT_TRUE(view_.logged("出错|" + text));
  EXPECT_EQ(view_.messages(), std::vector<std::string>{text});
  EXPECT_FALSE(view_.loggedStart("镜像完毕|"));
  expectFinished();
}

INSTANTIATE_TEST_SUITE_P(Copies, TimageShortCopyTest,
                         ::testing::Values(ShortCopyCase{"StopsShort", "short:524288", 524288},
                                           ShortCopyCase{"FailsMidway", "fail:524288", 524288},
                                           ShortCopyCase{"NeverStarts", "fail:0", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimageTest, PullThatFailsMidwayIsIncomplete) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-rw-r--", 1048576);
  phone.set("copy-end", "fail:65536");
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 1048576)), ImagingOutcome::kFailed);
  EXPECT_TRUE(view_.logged("出错|镜像不完整: 期望 1048576 字节, 实际 65536 字节"));
  EXPECT_TRUE(fs::exists(local("contacts2.db")));  // the partial copy is kept
}

TEST_F(TimageTest, ACopyThatNeverGrowsStalls) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("dd if=/dev/block/mmcblk0p12 of=" + std::string(kImageOnCard), {{"hang", "yes"}});
  EXPECT_EQ(run(partitionPlan(ImagingWay::kSmallImage, 1048576)), ImagingOutcome::kFailed);
  EXPECT_TRUE(view_.loggedStart("出错|镜像停滞"));
  EXPECT_TRUE(view_.logged("出错|镜像不完整: 期望 1048576 字节, 实际 0 字节"));
  expectFinished();
}

TEST_F(TimageTest, FileWayPutsTheModeBackWithItsSpecialBits) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rwsr-x---", 300000);
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 300000)), ImagingOutcome::kComplete);
  EXPECT_EQ(phone.chmodLog(), (std::vector<std::string>{"4754 " + std::string(kPhoneFile),
                                                        "4750 " + std::string(kPhoneFile)}));
  EXPECT_TRUE(view_.logged("权限|文件权限为:4750"));
  EXPECT_TRUE(view_.logged("权限|文件权限更改为:4754"));
  EXPECT_TRUE(view_.logged("权限|文件权限更改为:4750"));
  EXPECT_EQ(fs::file_size(local("contacts2.db")), 300000u);
}

TEST_F(TimageTest, NoChmodWhenOthersCanReadAlready) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-r--r-T", 1000);
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 1000)), ImagingOutcome::kComplete);
  EXPECT_TRUE(phone.chmodLog().empty());
}

TEST_F(TimageTest, FileWayPutsTheModeBackAfterAFailure) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-rw----", 1048576);
  phone.set("copy-end", "fail:4096");
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 1048576)), ImagingOutcome::kFailed);
  EXPECT_EQ(phone.chmodLog(), (std::vector<std::string>{"0664 " + std::string(kPhoneFile),
                                                        "0660 " + std::string(kPhoneFile)}));
}

TEST_F(TimageTest, FileWayRefusesWhatIsNotAFile) {
  FakePhone phone("android-4.1-huawei-g740");
  EXPECT_EQ(run(filePlan("/data/missing.db", 10)), ImagingOutcome::kFailed);
  EXPECT_EQ(view_.messages(),
            std::vector<std::string>{"没有发现源文件，请再次点击[开始镜像]按钮再试，程序将退出!"});
  EXPECT_TRUE(phone.chmodLog().empty());
}

TEST_F(TimageTest, StopWhileDdCopiesOnThePhone) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("copy-size", "10485760");
  phone.set("copy-rate", "1048576");  // ten seconds
  const auto begun = std::chrono::steady_clock::now();
  EXPECT_EQ(runAndStop(partitionPlan(ImagingWay::kSmallImage, 10485760),
                       [&] { return view_.gaugePosition.load() > 0; }),
            ImagingOutcome::kStopped);
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(8));
  EXPECT_TRUE(view_.logged("停止|已停止；手机端 dd 可能仍在运行"));
  EXPECT_TRUE(view_.loggedStart("停止|镜像不完整: 期望 10485760 字节, 实际 "));
  EXPECT_TRUE(view_.messages().empty());
  EXPECT_FALSE(view_.loggedStart("镜像完毕|"));
  expectFinished();
}

TEST_F(TimageTest, StopWhileTheRawCopyRuns) {
  FakePhone phone("android-4.0-freescale-imx6q");
  phone.set("copy-size", "10485760");
  phone.set("copy-rate", "1048576");
  EXPECT_EQ(runAndStop(partitionPlan(ImagingWay::kRawCard, 10485760),
                       [&] { return view_.logged("进程工作|安卓系统镜像进程开始工作"); }),
            ImagingOutcome::kStopped);
  EXPECT_TRUE(view_.logged("停止|已停止；手机端 dd 可能仍在运行"));
  EXPECT_EQ(view_.messages().size(), 1u);  // the caution only, no "完毕"
  expectFinished();
}

TEST_F(TimageTest, StopWhilePullingPutsTheModeBackAndKeepsThePartialFile) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-rw----", 10485760);
  phone.set("copy-rate", "1048576");
  EXPECT_EQ(runAndStop(filePlan(std::string(kPhoneFile), 10485760),
                       [&] { return view_.gaugePosition.load() > 0; }),
            ImagingOutcome::kStopped);
  EXPECT_TRUE(view_.logged("停止|已停止"));
  EXPECT_TRUE(view_.loggedStart("停止|镜像不完整: 期望 10485760 字节, 实际 "));
  ASSERT_TRUE(fs::exists(local("contacts2.db")));
  EXPECT_LT(fs::file_size(local("contacts2.db")), 10485760u);
  EXPECT_EQ(phone.chmodLog().size(), 2u);  // the mode was put back
  expectFinished();
}

TEST_F(TimageTest, AnExistingLocalFileIsReplacedOnlyWhenTheUserSaysYes) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-rw-r--", 4096);
  std::ofstream(local("contacts2.db")) << "old evidence";
  view_.answerYes = false;
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 4096)), ImagingOutcome::kDeclined);
  EXPECT_EQ(view_.warnings().size(), 1u);
  EXPECT_EQ(fs::file_size(local("contacts2.db")), 12u);
  EXPECT_TRUE(phone.chmodLog().empty());

  view_.answerYes = true;
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 4096)), ImagingOutcome::kComplete);
  EXPECT_EQ(fs::file_size(local("contacts2.db")), 4096u);
}

TEST_F(TimageTest, AnOldLocalFileOfTheRightLengthIsNeverTakenForTheCopy) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kPhoneFile, "-rw-rw-r--", 4096);
  phone.set("copy-end", "fail:0");
  std::ofstream(local("contacts2.db")) << std::string(4096, 'x');
  EXPECT_EQ(run(filePlan(std::string(kPhoneFile), 4096)), ImagingOutcome::kFailed);
  EXPECT_TRUE(view_.logged("出错|镜像不完整: 期望 4096 字节, 实际 0 字节"));
}

TEST_F(TimageTest, AFolderWithoutWritePermissionStopsBeforeTheCopy) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  FakePhone phone("android-4.1-huawei-g740");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(run(partitionPlan(ImagingWay::kSmallImage, 1048576)), ImagingOutcome::kFailed);
  EXPECT_EQ(view_.messages(),
            std::vector<std::string>{"Windows路径指定的文件没有生成,程序将退出!"});
  for (const std::string& command : phone.phoneCommands()) {
    EXPECT_EQ(command.find("dd "), std::string::npos) << command;
  }
}

TEST_F(TimageTest, AFolderThatCannotTakeFilesStopsBeforeTheCopy) {
  FakePhone phone("android-4.1-huawei-g740");
  std::ofstream(local("not a folder")) << "x";
  ImagingPlan plan = partitionPlan(ImagingWay::kSmallImage, 1048576);
  plan.pcFolder += "not a folder/";
  EXPECT_EQ(run(plan), ImagingOutcome::kFailed);
  EXPECT_EQ(view_.messages(),
            std::vector<std::string>{"Windows路径指定的文件没有生成,程序将退出!"});
  EXPECT_TRUE(view_.loggedStart("出错|无法在Windows目标盘路径写入文件"));
  EXPECT_TRUE(phone.phoneCommands().empty());
}

TEST_F(TimageTest, NoPhoneMeansNoCopy) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("devices", "none");
  EXPECT_EQ(run(partitionPlan(ImagingWay::kSmallImage, 1048576)), ImagingOutcome::kFailed);
  EXPECT_EQ(view_.connection(), "连接异常");
  EXPECT_EQ(view_.messages(),
            std::vector<std::string>{"手机连接失败,请检查USB连接线并再次点击按钮!"});
  EXPECT_TRUE(view_.connectEnabled.load());
  EXPECT_TRUE(phone.phoneCommands().empty());
}

TEST_F(TimageTest, UnsafePhonePathsRunNothingOnThePhone) {
  for (const char* source : {"/data/a;touch PWNED", "/data/$(reboot)", "/data/it's", "/data/a\"b",
                             "/data/line\nbreak"}) {
    SCOPED_TRACE(source);
    FakePhone phone("android-4.1-huawei-g740");
    phone.set("shell", "sandbox");
    EXPECT_EQ(run(filePlan(source, 10)), ImagingOutcome::kFailed);
    EXPECT_TRUE(phone.calls().empty());
    EXPECT_FALSE(fs::exists(phone.folder() / "sandbox" / "PWNED"));
    ImagingPlan partition = partitionPlan(ImagingWay::kSmallImage, 1024);
    partition.phoneTarget = std::string("/mnt/sdcard/") + (source + 6) + ".img";
    EXPECT_EQ(run(partition), ImagingOutcome::kFailed);
    EXPECT_TRUE(phone.calls().empty());
    EXPECT_FALSE(fs::exists(phone.folder() / "sandbox" / "PWNED"));
  }
}

}  // namespace
}  // namespace orv
