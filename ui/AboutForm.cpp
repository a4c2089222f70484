#include "AboutForm.h"

#include <QEvent>
#include <QLabel>
#include <QTextEdit>

#include "ApplicationIcon.h"
#include "DesignScale.h"
#include "Desktop.h"
#include "ProgramInfo.h"
#include "Text.h"

namespace Orvane {

const QString AboutForm::kGuideText = QStringLiteral(
    "Creating a sound bank:\n\n"
    "1. Export all game sounds by going to File -> Export All\n\n"
    "2. Modify any sound file you wish (any length) from the output folder, but keep in mind that "
    "the file format has to remain WAVE and the sample rate has to be 22.050 Hz. Additionally, the "
    "numbering prefix has to remain the same.\n\n"
    "3. Create the bank by going to File -> Create.\n\n"
    "4. Replace the original SDT bank with the newly created one.");

AboutForm::AboutForm(Desktop& desktop) : desktop_(desktop) { InitializeComponent(); }

void AboutForm::InitializeComponent() {
  const DesignScale scale(fontMetrics());
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About"));
  setWindowIcon(ApplicationIcon());
  // Discarded once closed; and no reason to keep the program running once the main window is gone.
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);

  const auto addLabel = [&](QLabel*& label, const char* name, const QString& text, int x, int y) {
    label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(scale.Point(x, y));
    label->adjustSize();
  };
  ctrlAboutRichBox = new QTextEdit(this);
  ctrlAboutRichBox->setObjectName(QStringLiteral("ctrlAboutRichBox"));
  ctrlAboutRichBox->setAcceptRichText(false);
  ctrlAboutRichBox->setGeometry(scale.Rect(12, 66, 310, 283));
  addLabel(VersionLabel, "VersionLabel", QStringLiteral("1.0"), 113, 41);
  addLabel(label3, "label3", QStringLiteral("Version:"), 18, 41);
  addLabel(label2, "label2", QStringLiteral("<" ORVANE_CONTACT ">"), 174, 19);
  addLabel(linkLabelQuen, "linkLabelQuen", QStringLiteral(ORVANE_CREDIT), 113, 19);
  addLabel(label1, "label1", QStringLiteral("Project page:"), 17, 19);

  QFont underlined = linkLabelQuen->font();
  underlined.setUnderline(true);
  linkLabelQuen->setFont(underlined);
  linkLabelQuen->setForegroundRole(QPalette::Link);
  linkLabelQuen->setCursor(Qt::PointingHandCursor);
  linkLabelQuen->setFocusPolicy(Qt::TabFocus);
  linkLabelQuen->adjustSize();
  linkLabelQuen->installEventFilter(this);
  setTabOrder(linkLabelQuen, ctrlAboutRichBox);

  resize(scale.Size(334, 361));
  // The outer limit of 350 x 400 leaves room for no more than this inside the frame.
  setMaximumSize(scale.Size(334, 361));
}

void AboutForm::showEvent(QShowEvent* event) {
  if (!loaded_) {
    loaded_ = true;
    AboutForm_Load();
  }
  QWidget::showEvent(event);
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
  // Any mouse button opens the link; the keyboard does not.
  if (watched == linkLabelQuen && event->type() == QEvent::MouseButtonRelease)
    linkLabelQuen_MouseClick();
  return QWidget::eventFilter(watched, event);
}

void AboutForm::AboutForm_Load() {
  VersionLabel->setText(
      QString::fromStdString(Str(kVersion, " @ ", ORVANE_BUILD_STAMP, " ", kConfiguration)));
  VersionLabel->adjustSize();
  ctrlAboutRichBox->setPlainText(kGuideText);
}

void AboutForm::linkLabelQuen_MouseClick() {
  desktop_.OpenWebAddress(QUrl(QStringLiteral(ORVANE_HOMEPAGE)));
}

}  // namespace Orvane
