#pragma once
// The about and feedback window: two pages, each with a picture, a text and a
// button back to the main window. Only the page asked for is visible.

#include <QWidget>

class QLabel;
class QPushButton;
class QTabWidget;

namespace orv {

class TForm6 : public QWidget {
  Q_OBJECT

 public:
  enum class Page { kAbout, kFeedback };

  TForm6();

  // Shows the window with only `page` visible.
  void showPage(Page page);

  QLabel* img1;       // banner above the pages
  QTabWidget* pgc1;   // the two pages
  QWidget* ts1;       // "关于我们"
  QWidget* ts2;       // "反馈问题"
  QLabel* img2;       // picture of "关于我们"
  QLabel* img3;       // picture of "反馈问题"
  QLabel* lbl1;       // text of "关于我们"
  QLabel* lbl2;       // text of "反馈问题"
  QPushButton* btn1;  // "返回主界面" on "关于我们"
  QPushButton* btn2;  // "返回主界面" on "反馈问题"

 private:
  // The designer names of one page's controls and what it shows.
  struct PageParts {
    const char* page;
    const char* picture;
    const char* label;
    const char* button;
    QString resource;
    QString text;
  };
  QWidget* buildPage(const PageParts& parts, QLabel*& picture, QLabel*& label, QPushButton*& back);
};

}  // namespace orv
