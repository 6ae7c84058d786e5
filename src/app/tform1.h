#pragma once
// The main window: the wizard pages (phone storage, phone files, imaging,
// scan, results), the phone panel on the left, the activity log, the gauge and
// the status bar. Its handlers check their input and start the workers; the
// workers report back through MainWindowViews.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/desktop.h"
#include "app/link_list.h"
#include "app/main_window_views.h"
#include "app/worker_threads.h"
#include "imaging/imaging_plan.h"
#include "platform/log_line.h"
#include "results/preview_kind.h"
#include "scan/scan_source.h"

class QCheckBox;
class QGroupBox;
class QListWidget;
class QMenu;
class QAction;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;

namespace orv {

class Gauge;
class MainWindowConnectView;
class LogModel;
class PreviewModel;
class StatusPanels;
class TForm2;
class TForm4;
class TForm5;
class TForm6;
class Timage;
class ImagingViews;
class myLabel;

// The windows the main window works with; they are created after it.
struct PeerForms {
  TForm2* form2 = nullptr;
  TForm4* form4 = nullptr;
  TForm5* form5 = nullptr;
  TForm6* form6 = nullptr;
};

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // `programDir` is the folder of "Item.ini" and of the help document.
  explicit TForm1(QString programDir);
  ~TForm1() override;

  void setPeers(const PeerForms& peers) { peers_ = peers; }
  // Stops a running scan and waits for every worker to end.
  void finishWorkers();
  bool workersRunning() const;

  // Operations the workers have run on the UI thread.
  void AddLogLine(const LogLine& line);
  void setScanButtonsEnabled(bool enabled);
  void setPreviewColumns(const std::vector<PreviewColumn>& columns);
  PreviewModel& previewModel(PreviewList list);

  // Makes `page` the one visible page of pgc1.
  void showOnlyPage(QWidget* page);
  // What the next scan reads; lbledt8 shows its text.
  void setScanSource(ScanSource source);
  const ScanSource& scanSource() const { return scanSource_; }
  DiskPlaces diskPlaces;  // where the disk chooser and the scan find disks

  // Handlers.
  void FormCreate();
  void btn1Click();
  void btn3Click();
  void btn5Click();
  void btn6Click();
  void btn10Click();
  void btn16Click();
  void btn17Click();
  void btn18Click();
  void btn19Click();
  void btn20Click();
  void btn21Click();
  void btn24Click();
  void N1Click();
  void N2Click();
  void MenuItem1Click();
  void k(int column);  // column click of lv9
  void lv12ColumnClick(int column);
  static QColor lv9CustomDrawItem(int row);
  void tmr1Timer();
  void btnRawResultsClick();
  void btnWirelessClick();
  // The phone pages and imaging (tform1_imaging.cpp).
  void tv1DblClick();
  void btn2Click();
  void btn7Click();
  void btn8Click();
  void btn9Click();
  void btn11Click();
  void btn12Click();
  void btn13Click();
  void btn14Click();
  void btn15Click();

  // Left panel "连接手机及手机信息-功能菜单".
  QPushButton* btn1;  // "连接好USB线后请点击"
  QListWidget* lv2;   // connection state, one item
  QTreeWidget* lv3;   // phone information ("手机配置")

  // Speed buttons along the top.
  QToolButton* btn3;   // "关于我们"
  QToolButton* btn5;   // "ORV主页"
  QToolButton* btn6;   // "程序使用"
  QToolButton* btn10;  // "反馈问题"

  QTabWidget* pgc1;  // the wizard pages
  QWidget* ts1;      // "手机存储"
  QWidget* ts2;      // "手机文件"
  QWidget* ts3;      // "物理盘/逻辑盘/文件 镜像"
  QWidget* ts4;      // "扫描"
  QWidget* ts5;      // "恢复结果"

  // ts1: the phone's storage.
  QTreeWidget* tv2;          // storage tree
  QListWidget* lv5;          // hint
  QPushButton* btn8;         // "切换"
  QPushButton* btnWireless;  // "无线互联设置": shows the wireless-link window
  QPushButton* btn2;         // "下一步"

  // ts2: the phone's files.
  QTreeWidget* tv1;   // folder tree
  QTreeWidget* lv1;   // file list with check boxes
  QListWidget* lv6;   // hint
  QPushButton* btn9;  // "切换"
  QPushButton* btn7;  // "下一步"

  // ts3: imaging.
  QLineEdit* lbledt1;  // "源盘/文件路径："
  QLineEdit* lbledt2;  // "目标盘路径(手机外部SD卡、外部存储)："
  QLineEdit* lbledt3;  // "目标盘路径(Windows系统)："
  QLineEdit* lbledt4;  // "源盘容量/文件长度[单位Byte]："
  QPushButton* btn12;  // "浏览"
  QPushButton* btn14;  // "开始镜像"
  QPushButton* btn15;  // "停止镜像"
  QListWidget* lv7;    // hint
  QPushButton* btn13;  // "上一步"
  QPushButton* btn11;  // "下一步"

  // ts4: scanning.
  QLineEdit* lbledt8;            // "扫描路径  "
  QPushButton* btn16;            // "浏览文件"
  QPushButton* btn21;            // "物理盘"
  QRadioButton* rb4;             // "通讯录、通话记录、短信"
  QRadioButton* rb5;             // "记事本"
  QRadioButton* rb6;             // "QQ聊天记录"
  QRadioButton* rb7;             // "微信聊天记录"
  QCheckBox* chkLearnedLayouts;  // "识别新版手机数据格式"
  QPushButton* btn17;            // "开始扫描"
  QPushButton* btn18;            // "停止扫描"
  QListWidget* lv8;              // hint
  QPushButton* btn20;            // "上一步"
  QPushButton* btn19;            // "下一步"

  // ts5: results.
  QTabWidget* pgc2;            // "正常" and "删除"
  QWidget* ts6;                // "正常"
  QWidget* ts7;                // "删除"
  QTableView* lv9;             // live records
  QTableView* lv12;            // deleted records
  QMenu* pm2;                  // popup of lv9
  QAction* N2;                 // "保存结果" of lv9
  QMenu* pm3;                  // popup of lv12
  QAction* MenuItem1;          // "保存结果" of lv12
  QRadioButton* rb1;           // "预览通讯录"
  QRadioButton* rb2;           // "预览通话记录"
  QRadioButton* rb3;           // "预览短信"
  QListWidget* lv11;           // legend of the row pictures
  QPlainTextEdit* mmo5;        // how to preview
  QPushButton* btn24;          // "点击加载到预览"
  QPushButton* btnRawResults;  // "原始结果": shows the raw-results window
  QListWidget* lv10;           // hint
  QPushButton* btn23;          // "上一步"

  // The activity log.
  QTreeView* lv4;  // "日志": time, type, description
  QMenu* pm1;      // popup of lv4
  QAction* N1;     // "保存日志"

  Gauge* g1;             // progress gauge
  StatusPanels* stat1;   // status bar
  QTimer* tmr1;          // link rotation, every 2 s
  myLabel* linkLabel{};  // the status bar's link, when the links are usable

  FileDialogRequest dlgOpen1;  // image file to scan
  FileDialogRequest dlgSave1;  // log file ("log|*.log")
  FileDialogRequest dlgSave2;  // CSV file ("csv|*.csv")

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Window parts (tform1_frame.cpp, tform1_*_page*.cpp).
  QWidget* buildLeftPanel();
  QWidget* buildSpeedButtons();
  QWidget* buildLog();
  QWidget* buildBottom();
  void buildPages();
  QWidget* buildStoragePage();
  QWidget* buildFilesPage();
  QWidget* buildImagingPage();
  QWidget* buildScanPage();
  QWidget* buildResultsPage();
  QWidget* buildResultsSide();
  void connectHandlers();

  // Start-up pieces (tform1_startup.cpp).
  void fillHintLists();
  void loadLinks();
  void createLinkLabel();
  void openCurrentLink();

  void FormClose();
  // The gauge and the progress panel as a worker leaves them (see Gauge).
  void finishProgress(bool completed);
  struct ScanRunState;
  void scanEnded(const std::shared_ptr<ScanRunState>& run);
  // Runs `job` on a worker thread; an exception that escapes it is logged.
  void startWorker(std::function<void()> job, std::function<void()> whenDone = {});
  std::optional<PreviewKind> checkedPreviewKind() const;  // by rb1, rb2, rb3
  // Widens the preview lists' columns to what the preview shows first.
  void fitPreviewColumns();
  void savePreview(PreviewList list);
  void sortPreview(PreviewModel& model, int column);

  QString programDir_;
  PeerForms peers_;
  LogModel* logModel_;
  PreviewModel* normalModel_;
  PreviewModel* deletedModel_;
  bool previewSortAscending_ = false;  // shared by lv9 and lv12
  // What the preview lists hold, set when a preview starts.
  std::optional<PreviewKind> shownKind_;
  ScanSource scanSource_;
  std::vector<Link> links_;
  std::size_t linkIndex_ = 0;
  // The scan under way, shared with its worker; none when no scan runs.
  std::shared_ptr<ScanRunState> runningScan_;
  std::unique_ptr<MainWindowViews> views_;
  std::unique_ptr<MainWindowConnectView> connectView_;  // made at the first connection
  bool connectRunning_ = false;                         // a connection worker runs
  WorkerThreads* workers_;

  // Imaging (tform1_imaging.cpp).
  void clearImagingPage(bool fromFiles);
  void refuseNumber();                      // "数值格式错误，请重新设置!"
  bool imagingFromFiles_ = false;           // the imaging page was entered from the file page
  std::optional<ImagingPlan> imagingPlan_;  // decided by btn2Click or btn7Click
  std::shared_ptr<Timage> imaging_;         // the run under way
  std::unique_ptr<ImagingViews> imagingViews_;
  bool listingFolder_ = false;  // a TFileBro runs; tv1 double clicks wait
};

}  // namespace orv
