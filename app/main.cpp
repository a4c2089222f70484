// The entry: the console with its banner, the output folder, then the main window and its
// message loop, and the bank named on the command line once the window is up.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "ApplicationIcon.h"
#include "Console.h"
#include "Desktop.h"
#include "Globals.h"
#include "MainForm.h"
#include "PathUtf8.h"
#include "ProgramInfo.h"
#include "SoundFileName.h"
#include "SoundOutput.h"
#include "WorkingDirectory.h"

int main(int argc, char* argv[]) {
  using namespace Orvane;

  OpenConsole();
  std::printf("%s - %s @ %s.\n", kProgramName, kVersion, ORVANE_BUILD_STAMP);
  SetConsoleColour(ConsoleColour::BrightGreen);
  std::printf("Hey, check out these teeth!\n");
  std::fflush(stdout);

  // An existing folder is kept as it is. One that cannot be made is no reason to stop: export
  // tries again and says why.
  const std::filesystem::path output = OutputFolderIn(GetCurrentDir());
  std::error_code ec;
  std::filesystem::create_directories(output, ec);
  if (ec)
    std::fprintf(stderr, "cannot create the folder %s: %s\n", PathToUtf8(output).c_str(),
                 ec.message().c_str());

  SetConsoleColour(ConsoleColour::BrightWhite);

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(kProgramName));
  QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
  QGuiApplication::setDesktopFileName(QStringLiteral(ORVANE_APP_ID));
  QApplication::setWindowIcon(ApplicationIcon());

  int status = 0;
  {
    // The compared bank plays on a device of its own, beside the edited bank's.
    SoundOutput comparedOutput(WindowSoundSettings());
    MainForm mainWindow(g_SoundEditor, {output, &comparedOutput, ReportToConsole}, SystemDesktop());
    GlobalForms::MainWindow = &mainWindow;
    mainWindow.show();
    // Qt has taken its own options out: what is left is `orvane [BANK]`.
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString& extra : arguments.mid(1))
      std::fprintf(stderr, "ignored the argument %s: orvane opens one bank\n",
                   extra.toLocal8Bit().constData());
    if (!arguments.isEmpty())
      QTimer::singleShot(0, &mainWindow, [&] { mainWindow.OpenBankFile(arguments.front()); });
    // Ends when the main window closes; an About window still open goes with it.
    status = QApplication::exec();
    GlobalForms::MainWindow = nullptr;
  }
  RestoreConsoleColour();
  return status;
}
