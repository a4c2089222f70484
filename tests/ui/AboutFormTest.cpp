#include <gtest/gtest.h>
#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include "AboutForm.h"
#include "ProgramInfo.h"
#include "UiTestSupport.h"

namespace Orvane::Test {
namespace {

using AboutFormTest = MainWindowTest;

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

QTextEdit* Guide(AboutForm* about) {
  return about->findChild<QTextEdit*>(QStringLiteral("ctrlAboutRichBox"));
}

TEST_F(AboutFormTest, OpensOnceClosesAndOpensAgainAndGoesWithTheMainWindow) {
  QAction* about = Action("aboutToolStripMenuItem");
  about->trigger();
  QPointer<AboutForm> first = AboutWindow();
  ASSERT_NE(first, nullptr);
  about->trigger();
  EXPECT_EQ(AboutWindow(), first);
  EXPECT_EQ(AboutWindowsOnScreen(), 1);
  EXPECT_EQ(first->windowTitle(), "About");

  CloseAndDiscard(first);
  EXPECT_EQ(first, nullptr) << "a closed About window is discarded";
  EXPECT_EQ(AboutWindowsOnScreen(), 0);

  about->trigger();
  QPointer<AboutForm> second = AboutWindow();
  ASSERT_NE(second, nullptr);
  {
    MainForm other(editor, {dir / "output", nullptr, ReportToConsole}, desktop);
    other.show();
    other.findChild<QAction*>(QStringLiteral("aboutToolStripMenuItem"))->trigger();
    EXPECT_EQ(AboutWindowsOnScreen(), 2) << "each main window has its own";
  }
  EXPECT_EQ(AboutWindowsOnScreen(), 1) << "an About window goes with its main window";
  EXPECT_NE(second, nullptr);
}

TEST_F(AboutFormTest, ShowsTheVersionAndAFreshGuideOnEveryOpening) {
  Action("aboutToolStripMenuItem")->trigger();
  QTextEdit* guide = Guide(AboutWindow());
  const QString shown = guide->toPlainText();
  EXPECT_TRUE(shown.startsWith("Creating a sound bank:")) << shown.toStdString();
  const QString version = AboutWindow()->findChild<QLabel*>(QStringLiteral("VersionLabel"))->text();
  EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(QString::fromLatin1(kVersion)) +
                                 QStringLiteral(R"( @ [A-Z][a-z]{2} [ 1-3]\d \d{4} \d\d:\d\d:\d\d \(RELEASE\)$)"))
                  .match(version)
                  .hasMatch())
      << version.toStdString();

  QTest::keyClicks(guide, "typed");
  EXPECT_NE(guide->toPlainText(), shown);
  CloseAndDiscard(AboutWindow());
  Action("aboutToolStripMenuItem")->trigger();
  EXPECT_EQ(Guide(AboutWindow())->toPlainText(), shown) << "what was typed is gone";
}

TEST_F(AboutFormTest, AnyMouseButtonOnTheLinkOpensTheAddressAndTheKeyboardDoesNot) {
  Action("aboutToolStripMenuItem")->trigger();
  auto* link = AboutWindow()->findChild<QLabel*>(QStringLiteral("linkLabelQuen"));
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
