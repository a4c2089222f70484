#include <gtest/gtest.h>
#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include "AboutForm.h"
#include "UiTestSupport.h"

namespace Orvane::Test {
namespace {

using AboutFormTest = MainWindowTest;

const QString kGuide = QStringLiteral(
    "Creating a sound bank:\n\n1. Export all game sounds by going to File -> Export All\n\n2. "
    "Modify "
    "any sound file you wish (any length) from the output folder, but keep in mind that the file "
    "format has to remain WAVE and the sample rate has to be 22.050 Hz. Additionally, the "
    "numbering "
    "prefix has to remain the same.\n\n3. Create the bank by going to File -> Create.\n\n4. "
    "Replace "
    "the original SDT bank with the newly created one.");

int AboutWindowsOnScreen() {
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<AboutForm*>(w) && w->isVisible()) ++count;
  return count;
}

void CloseAndDiscard(QWidget* window) {
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(AboutFormTest, OpensOnceClosesAndOpensAgain) {
  QAction* about = Action("aboutToolStripMenuItem");
  about->trigger();
  QWidget* first = GlobalForms::AboutWindow;
  ASSERT_NE(first, nullptr);
  about->trigger();
  EXPECT_EQ(GlobalForms::AboutWindow, first);
  EXPECT_EQ(AboutWindowsOnScreen(), 1);
  EXPECT_EQ(first->windowTitle(), "About");

  CloseAndDiscard(first);
  EXPECT_EQ(GlobalForms::AboutWindow, nullptr);
  EXPECT_EQ(AboutWindowsOnScreen(), 0);

  about->trigger();
  ASSERT_NE(GlobalForms::AboutWindow, nullptr);
  EXPECT_EQ(AboutWindowsOnScreen(), 1);
}

TEST_F(AboutFormTest, ShowsVersionAndTheGuideUneditedOnEveryOpening) {
  ASSERT_EQ(kGuide.size(), 419);
  Action("aboutToolStripMenuItem")->trigger();
  auto* guide = GlobalForms::AboutWindow->findChild<QTextEdit*>(QStringLiteral("ctrlAboutRichBox"));
  EXPECT_EQ(guide->toPlainText(), kGuide);
  const QString version =
      GlobalForms::AboutWindow->findChild<QLabel*>(QStringLiteral("VersionLabel"))->text();
  EXPECT_TRUE(
      QRegularExpression(
          QStringLiteral(R"(^1\.0\.1 @ [A-Z][a-z]{2} [ 1-3]\d \d{4} \d\d:\d\d:\d\d \(RELEASE\)$)"))
          .match(version)
          .hasMatch())
      << version.toStdString();

  QTest::keyClicks(guide, "typed");
  EXPECT_NE(guide->toPlainText(), kGuide);
  CloseAndDiscard(GlobalForms::AboutWindow);
  Action("aboutToolStripMenuItem")->trigger();
  EXPECT_EQ(GlobalForms::AboutWindow->findChild<QTextEdit*>(QStringLiteral("ctrlAboutRichBox"))
                ->toPlainText(),
            kGuide);
}

TEST_F(AboutFormTest, AnyMouseButtonOnTheLinkOpensTheAddressAndTheKeyboardDoesNot) {
  Action("aboutToolStripMenuItem")->trigger();
  auto* link = GlobalForms::AboutWindow->findChild<QLabel*>(QStringLiteral("linkLabelQuen"));
  QTest::mouseClick(link, Qt::LeftButton);
  QTest::mouseClick(link, Qt::RightButton);
  link->setFocus();
  QTest::keyClick(link, Qt::Key_Return);
  QTest::keyClick(link, Qt::Key_Space);
  ASSERT_EQ(desktop.OpenedAddresses.size(), 2u);
  EXPECT_TRUE(desktop.OpenedAddresses[0].isValid());
  EXPECT_EQ(desktop.OpenedAddresses[0], desktop.OpenedAddresses[1]);
}

}  // namespace
}  // namespace Orvane::Test
