// A recovery through the buttons: scan the demo image, preview each kind,
// sort and save the lists, save the log.

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <functional>

#include "app/gauge.h"
#include "app/log_model.h"
#include "app/preview_model.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tform5.h"
#include "gui_test.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "results/list_order.h"
#include "results/recording_view.h"
#include "results/tyulan.h"
#include "scan/scan_findings.h"

namespace orv::testing {
namespace {

// 2024-05-01 13:45:09, local time equal to UTC.
const FixedClock kMayDay({1714571109000, 0});

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of a file written in the Chinese code page.
QString ReadGbFile(const QString& path) {
  const QByteArray bytes = ReadFile(path);
  return QString::fromStdString(Gb18030ToUtf8(bytes.toStdString()).value_or(""));
}

class ScanFlowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    createForms();
    scanThroughButtons(writeDemoImage());
    takeBoxes();
  }

  PreviewModel& normal() { return main().previewModel(PreviewList::kNormal); }
  PreviewModel& deleted() { return main().previewModel(PreviewList::kDeleted); }

  void preview(QRadioButton* kind) {
    if (main().pgc1->currentWidget() != main().ts5) main().btn19->click();
    kind->setChecked(true);
    main().btn24->click();
    waitForWorkers();
  }

  // The column `column` of every row of `model`, in order.
  static std::vector<std::string> Column(const PreviewModel& model, std::size_t column) {
    std::vector<std::string> cells;
    for (const ListRow& row : model.snapshot().rows) cells.push_back(row.at(column));
    return cells;
  }

  ScopedClockOverride clock_{kMayDay};
};

TEST_F(ScanFlowTest, ScanEndsWithTheButtonsBackAndResultsToShow) {
  const auto& lines = static_cast<const LogModel*>(main().lv4->model())->lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().type, "文件长度");
  const bool completed = std::any_of(lines.begin(), lines.end(), [](const LogLine& line) {
    return line.type == "提示" && line.description == "扫描完毕";
  });
  EXPECT_TRUE(completed);
  for (QPushButton* button : {main().btn17, main().btn19, main().btn20}) {
    EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
  }
  EXPECT_FALSE(main().btn18->isEnabled());
  EXPECT_EQ(main().g1->value(), main().g1->maximum());  // done: a full bar
  EXPECT_EQ(main().stat1->progressText(), "");
  // The last lines say what was found, live and deleted.
  const auto summary = std::find_if(lines.begin(), lines.end(), [](const LogLine& line) {
    return line.description.starts_with("发现数据页");
  });
  ASSERT_NE(summary, lines.end());
  EXPECT_EQ(summary->description, ScanFindingsText(SummariseFindings(forms().form5->tables())));
  // A description wider than its column widened it.
  EXPECT_GE(main().lv4->columnWidth(2),
            QFontMetrics(main().lv4->font())
                .horizontalAdvance(QString::fromStdString(summary->description)));
  main().btn19->click();
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts5);
  for (int i = 0; i < main().pgc1->count(); ++i) {
    EXPECT_EQ(main().pgc1->isTabVisible(i), main().pgc1->widget(i) == main().ts5);
  }
  main().btn23->click();
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts4);
}

TEST_F(ScanFlowTest, EachPreviewShowsWhatRecordAssemblyMakes) {
  const std::pair<QRadioButton*, PreviewKind> kinds[] = {{main().rb1, PreviewKind::kContacts},
                                                         {main().rb2, PreviewKind::kCalls},
                                                         {main().rb3, PreviewKind::kMessages}};
  for (const auto& [radio, kind] : kinds) {
    preview(radio);
    RecordingView expected;
    TYuLan(kind, forms().form5->tables(), expected).run();
    ASSERT_FALSE(expected.normal.empty()) << static_cast<int>(kind);
    EXPECT_EQ(normal().snapshot().rows, expected.normal) << static_cast<int>(kind);
    EXPECT_EQ(deleted().snapshot().rows, expected.deleted) << static_cast<int>(kind);
    ASSERT_EQ(normal().columns().size(), PreviewColumns(kind).size());
    for (std::size_t i = 0; i < normal().columns().size(); ++i) {
      // The given widths are the least; a column may be wider to fit.
      EXPECT_GE(main().lv9->horizontalHeader()->sectionSize(static_cast<int>(i)),
                PreviewColumns(kind)[i].width);
    }
  }
  EXPECT_FALSE(deleted().snapshot().rows.empty());
  EXPECT_TRUE(main().btn24->isEnabled());
}

// The cells the user sees first are drawn whole: a date, a number or a name
// is not cut to "2011-10-25 17:…".
TEST_F(ScanFlowTest, FirstScreenfulOfCellsIsNotElided) {
  for (QRadioButton* kind : {main().rb1, main().rb2, main().rb3}) {
    preview(kind);
    for (QTableView* list : {main().lv9, main().lv12}) {
      const int margin =
          list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
      const QFontMetrics metrics(list->font());
      // The rows the shown list has room for; the other list is as high.
      const int screenful = main().lv9->viewport()->height() / main().lv9->rowHeight(0);
      const int rows = std::min(list->model()->rowCount(), screenful);
      for (int column = 1; column < list->model()->columnCount(); ++column) {
        for (int row = 0; row < rows; ++row) {
          const QString text = list->model()->index(row, column).data().toString();
          EXPECT_GE(list->columnWidth(column) - 1 - 2 * margin, metrics.horizontalAdvance(text))
              << list->objectName().toStdString() << " row " << row << ": " << text.toStdString();
        }
      }
    }
  }
}

TEST_F(ScanFlowTest, PreviewEndsWithAFullBar) {
  preview(main().rb2);
  EXPECT_LT(main().g1->minimum(), main().g1->maximum());
  EXPECT_EQ(main().g1->value(), main().g1->maximum());
  EXPECT_EQ(main().stat1->progressText(), "");
}

TEST_F(ScanFlowTest, NormalRowsAlternateLightBlueAndWhite) {
  preview(main().rb2);
  ASSERT_GE(normal().rowCount(), 3);
  const QColor lightBlue(166, 202, 240);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(normal().index(row, 1).data(Qt::BackgroundRole).value<QColor>(),
              row % 2 == 0 ? lightBlue : QColor(Qt::white));
  }
  EXPECT_FALSE(deleted().index(0, 1).data(Qt::BackgroundRole).isValid());
  EXPECT_FALSE(normal().index(0, 0).data(Qt::DecorationRole).isNull());
}

TEST_F(ScanFlowTest, HeaderClicksAlternateTheDirectionAcrossBothLists) {
  preview(main().rb2);
  const auto inOrder = [](const std::vector<std::string>& cells, bool ascending) {
    for (std::size_t i = 1; i < cells.size(); ++i) {
      const int order = CompareListText(cells[i - 1], cells[i]);
      if (ascending ? order > 0 : order < 0) return false;
    }
    return true;
  };
  QHeaderView* header = main().lv9->horizontalHeader();
  ClickHeader(header, 5);  // 电话号码
  EXPECT_TRUE(inOrder(Column(normal(), 5), false));
  ClickHeader(header, 5);
  EXPECT_TRUE(inOrder(Column(normal(), 5), true));
  main().pgc2->setCurrentWidget(main().ts7);
  ClickHeader(main().lv12->horizontalHeader(), 3);  // 日期, continuing the alternation
  EXPECT_TRUE(inOrder(Column(deleted(), 3), false));
}

TEST_F(ScanFlowTest, NumberColumnsSortByValue) {
  preview(main().rb2);
  ASSERT_GE(normal().rowCount(), 10);  // so that "10" and "9" both occur
  const auto values = [this](std::size_t column) {
    std::vector<long long> numbers;
    for (const std::string& cell : Column(normal(), column)) numbers.push_back(std::stoll(cell));
    return numbers;
  };
  QHeaderView* header = main().lv9->horizontalHeader();
  for (const int column : {0, 2}) {  // 编号, 通话时长
    ClickHeader(header, column);
    const std::vector<long long> first = values(static_cast<std::size_t>(column));
    const bool ascending = std::is_sorted(first.begin(), first.end());
    EXPECT_TRUE(ascending || std::is_sorted(first.rbegin(), first.rend())) << column;
    ClickHeader(header, column);
    const std::vector<long long> second = values(static_cast<std::size_t>(column));
    EXPECT_TRUE(ascending ? std::is_sorted(second.rbegin(), second.rend())
                          : std::is_sorted(second.begin(), second.end()))
        << column;
  }
}

TEST_F(ScanFlowTest, SavedPreviewHoldsTheRowsAsShown) {
  preview(main().rb3);
  main().k(2);  // sorted by date, descending: the file keeps that order
  const QString path = scratchFile("sms.csv");
  dialogChoices = {path};
  main().N2->trigger();
  waitForWorkers();
  EXPECT_EQ(dialogPresets.back(), "ORV-短信-2024-05-01 13-45-09.csv");
  EXPECT_EQ(takeBoxTexts(), QStringList{"保存结果完毕"});
  EXPECT_EQ(main().g1->value(), main().g1->maximum());  // saved: a full bar
  const QStringList lines = ReadGbFile(path).split("\r\n");
  const std::vector<ListRow> rows = normal().snapshot().rows;
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(rows.size()) + 1);  // ends with CR LF
  EXPECT_EQ(lines.back(), "");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const QString line = lines[static_cast<qsizetype>(i)];
    EXPECT_TRUE(line.startsWith(QString::fromStdString(rows[i][0]) + ",")) << i;
    EXPECT_TRUE(line.endsWith(",")) << i;
    EXPECT_TRUE(line.contains(QString::fromStdString(rows[i][2]))) << i;
  }
}

// The user said no: nothing is written, under the preset name or any other.
TEST_F(ScanFlowTest, CancelledSaveDialogsWriteNothing) {
  preview(main().rb3);
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(scratchFile("")));
  const QStringList filesBefore = QDir(scratchFile("")).entryList(QDir::Files);
  const std::function<void()> saves[] = {
      [this] { main().N2->trigger(); },         // normal list
      [this] { main().MenuItem1->trigger(); },  // deleted list
      [this] { main().N1->trigger(); },         // activity log
      [this] { forms().form5->N1Click(); },     // raw tables
      [this] { forms().form5->Fuck31Click(); },
  };
  dialogPresets.clear();
  for (const auto& save : saves) save();  // no dialog choice: each is cancelled
  waitForWorkers();
  const QStringList filesAfter = QDir(scratchFile("")).entryList(QDir::Files);
  QDir::setCurrent(before);
  EXPECT_EQ(dialogPresets.size(), std::size(saves));
  EXPECT_EQ(filesAfter, filesBefore);
  EXPECT_TRUE(takeBoxes().empty());
}

TEST_F(ScanFlowTest, UnwritableSaveIsReportedAsAFailure) {
  preview(main().rb1);
  dialogChoices = {scratchFile("no-such-folder/contacts.csv")};
  main().N2->trigger();
  waitForWorkers();
  EXPECT_EQ(takeBoxTexts(), QStringList{"保存结果失败"});
  EXPECT_EQ(main().g1->value(), main().g1->minimum());  // failed: an empty bar
}

TEST_F(ScanFlowTest, LogIsSavedLineByLine) {
  const QString path = scratchFile("scan.log");
  dialogChoices = {path};
  main().N1->trigger();
  waitForWorkers();
  EXPECT_EQ(dialogPresets.back(), "ORV-2024-05-01 13-45-09.log");
  EXPECT_EQ(takeBoxTexts(), QStringList{"成功保存日志文件!"});
  const auto& lines = static_cast<const LogModel*>(main().lv4->model())->lines();
  const QStringList written = ReadGbFile(path).split("\r\n");
  ASSERT_EQ(written.size(), static_cast<qsizetype>(lines.size()) + 1);
  EXPECT_EQ(written[0], QString::fromStdString(lines[0].time + "^" + lines[0].type + "^" +
                                               lines[0].description));
}

}  // namespace
}  // namespace orv::testing
