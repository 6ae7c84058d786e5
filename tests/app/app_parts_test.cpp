// The small parts of the program that need no window: the INI reader, the
// link list, the gauge, the preview's sort, Qt's translations and the JPEG
// decoder.

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>

#include "app/gauge.h"
#include "app/ini_file.h"
#include "app/jpeg_image.h"
#include "app/link_list.h"
#include "app/preview_model.h"
#include "app/qt_translations.h"
#include "gui_test.h"

namespace orv::testing {
namespace {

TEST(IniFileTest, ReadsSectionsAndKeysWithoutRegardToCase) {
  const IniFile ini = IniFile::Parse(
      "; comment\r\n[Common]\r\n CONT = 3 \r\n[Item0]\nName=主页\nURL=https://a/b?c=d\n"
      "Name=second\n[Item1]\nno equals sign\n");
  EXPECT_EQ(ini.read("common", "cont", "错误"), "3");
  EXPECT_EQ(ini.read("item0", "name", "错误"), "主页");
  EXPECT_EQ(ini.read("Item0", "URL", "错误"), "https://a/b?c=d");
  EXPECT_EQ(ini.read("Item1", "Name", "错误"), "错误");
  EXPECT_EQ(ini.read("Item9", "Name", "错误"), "错误");
}

TEST(IniFileTest, FileInTheChineseCodePageIsRead) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Item.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Item0]\nName=\xD6\xF7\xD2\xB3\n");  // 主页 in GBK
  file.close();
  const auto ini = IniFile::Load(path.toStdString());
  ASSERT_TRUE(ini.has_value());
  EXPECT_EQ(ini->read("Item0", "Name", ""), "主页");
  EXPECT_FALSE(IniFile::Load(dir.filePath("missing.ini").toStdString()).has_value());
}

TEST(LinkListTest, OnlyAddressesOnOurSiteAreUsable) {
  const std::pair<const char*, bool> urls[] = {
      {"https://orv.example.com/", true},
      {"http://orv.example.com", true},
      {"https://forum.orv.example.com/t/1", true},
      {"https://orv.example.com:8443/x", true},
      {"https://evilorv.example.com/", false},
      {"https://orv.example.com.evil.net/", false},
      {"ftp://orv.example.com/", false},
      {"orv.example.com", false},
      {"错误", false},
  };
  for (const auto& [url, usable] : urls) EXPECT_EQ(IsMakerUrl(url), usable) << url;
  EXPECT_FALSE(LinksUsable({}));
  EXPECT_TRUE(LinksUsable({{"a", "https://orv.example.com/"}}));
  EXPECT_FALSE(LinksUsable({{"a", "https://orv.example.com/"}, {"b", "https://x.net/"}}));
}

TEST(LinkListTest, CountMustBeAWholeNumber) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Item.ini");
  const std::pair<const char*, bool> counts[] = {{"2", false}, {"abc", true}, {"1.5", true},
                                                 {"", true},   {"-1", true},  {"99999999", true}};
  for (const auto& [count, bad] : counts) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("[common]\ncont=") + count + "\n[Item0]\nName=a\nURL=b\n");
    file.close();
    const LinkListRead read = ReadLinkList(path.toStdString());
    EXPECT_EQ(read.badCount, bad) << count;
    EXPECT_EQ(read.countText, count);
    if (!bad) {
      ASSERT_EQ(read.links.size(), 2u);
      EXPECT_EQ(read.links[0].name, "a");
      EXPECT_EQ(read.links[1].url, "错误");
    }
  }
}

TEST_F(GuiTest, GaugeScalesRangesBeyondInt) {
  Gauge gauge;
  gauge.setRange64(1000);
  gauge.setPosition64(500);
  EXPECT_EQ(gauge.value(), 500);
  const std::int64_t sectors = std::int64_t{4} << 31;  // a 4 TiB disk in sectors
  gauge.setRange64(sectors);
  gauge.setPosition64(sectors / 2);
  EXPECT_EQ(gauge.value(), gauge.maximum() / 2);
  gauge.setPosition64(sectors * 2);  // beyond the range: held at the end
  EXPECT_EQ(gauge.value(), gauge.maximum());
}

// Qt's bar animates endlessly as "busy" when its range has no length.
TEST_F(GuiTest, GaugeNeverShowsTheBusyAnimation) {
  Gauge gauge;
  for (const std::int64_t maximum : {std::int64_t{-5}, std::int64_t{0}, std::int64_t{1}}) {
    gauge.setRange64(maximum);
    EXPECT_LT(gauge.minimum(), gauge.maximum()) << maximum;
    EXPECT_EQ(gauge.value(), gauge.minimum()) << maximum;
    gauge.setPosition64(0);
    EXPECT_EQ(gauge.value(), gauge.minimum()) << maximum;
  }
  gauge.setRange64(1000);
  gauge.setPosition64(300);
  gauge.finish(true);
  EXPECT_LT(gauge.minimum(), gauge.maximum());
  EXPECT_EQ(gauge.value(), gauge.maximum());
  gauge.finish(false);
  EXPECT_EQ(gauge.value(), gauge.minimum());
}

TEST_F(GuiTest, PreviewColumnsSortByTheirKind) {
  PreviewModel model(QIcon(), nullptr);
  model.setColumns(
      {{"编号", 50, ColumnOrder::kNumber}, {"日期", 100, ColumnOrder::kDateTime}, {"姓名", 80}});
  model.appendRows({{"27", "2011-10-25 17:28:33", "b"},
                    {"1003", "2011-9-3 08:00:00", "a"},
                    {"1", "Null", "C"},
                    {"-4", "2011-10-25 7:28:33", "10"},
                    {"x", "2011-10-25 17:28:34", "2"}});
  const auto column = [&](int index) {
    std::vector<std::string> cells;
    for (const ListRow& row : model.snapshot().rows) cells.push_back(row.at(index));
    return cells;
  };
  model.sortByColumn(0, true);
  EXPECT_EQ(column(0), (std::vector<std::string>{"-4", "1", "27", "1003", "x"}));
  model.sortByColumn(0, false);
  EXPECT_EQ(column(0), (std::vector<std::string>{"x", "1003", "27", "1", "-4"}));
  model.sortByColumn(1, true);
  EXPECT_EQ(column(1),
            (std::vector<std::string>{"2011-9-3 08:00:00", "2011-10-25 7:28:33",
                                      "2011-10-25 17:28:33", "2011-10-25 17:28:34", "Null"}));
  model.sortByColumn(2, true);  // text, letters folded: digits before letters
  EXPECT_EQ(column(2), (std::vector<std::string>{"10", "2", "a", "b", "C"}));
}

TEST(QtTranslationsTest, AbsentTranslationsChangeNothing) {
  QTemporaryDir empty;
  EXPECT_EQ(InstallQtChineseTranslations(*QCoreApplication::instance(), empty.path()), nullptr);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "Open");
}

TEST(QtTranslationsTest, QtsOwnDialogsSpeakChineseWhenTranslationsArePresent) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(folder + "/qtbase_zh_CN.qm")) GTEST_SKIP() << "no qtbase_zh_CN.qm";
  QTranslator* translator = InstallQtChineseTranslations(*QCoreApplication::instance());
  ASSERT_NE(translator, nullptr);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "打开");
  QCoreApplication::removeTranslator(translator);
  delete translator;
}

TEST_F(GuiTest, JpegDecoderRejectsBadInput) {
  const QImage picture = LoadJpeg(":/pictures/about.jpg");
  ASSERT_FALSE(picture.isNull());
  QFile file(":/pictures/about.jpg");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray jpeg = file.readAll();
  EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
  EXPECT_TRUE(DecodeJpeg("not a picture at all").isNull());
  EXPECT_TRUE(DecodeJpeg(jpeg.left(20)).isNull());
  // Cut short after the header: decoded as far as it goes, never a crash.
  const QImage cut = DecodeJpeg(jpeg.left(jpeg.size() / 2));
  if (!cut.isNull()) {
    EXPECT_EQ(cut.size(), picture.size());
  }
  EXPECT_TRUE(LoadJpeg("/no/such/file.jpg").isNull());
}

}  // namespace
}  // namespace orv::testing
