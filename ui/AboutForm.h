#pragma once
// The About window: a credit line with a link to the project, the version with its build stamp,
// and a short guide to making a bank. The main window keeps at most one open; it is discarded
// once closed.
#include <QWidget>

class QLabel;
class QTextEdit;

namespace Orvane {

class Desktop;

class AboutForm final : public QWidget {
  Q_OBJECT

 public:
  explicit AboutForm(Desktop& desktop);

  // The guide shown on every opening.
  static const QString kGuideText;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void InitializeComponent();

  void AboutForm_Load();
  void linkLabelQuen_MouseClick();

  Desktop& desktop_;
  bool loaded_ = false;

  QTextEdit* ctrlAboutRichBox = nullptr;
  QLabel* VersionLabel = nullptr;
  QLabel* label3 = nullptr;
  QLabel* label2 = nullptr;
  QLabel* linkLabelQuen = nullptr;
  QLabel* label1 = nullptr;
};

}  // namespace Orvane
