#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>

#include "Desktop.h"

namespace Orvane {
namespace {

// Qt's dialogs leave the working directory alone, which keeps the output folder where start-up
// made it.
std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, request.Title, QString(), request.Filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  if (mode == QFileDialog::AcceptSave) dialog.setDefaultSuffix(QStringLiteral("sdt"));
  const QFileInfo start(request.Start);
  if (start.isDir()) {
    dialog.setDirectory(start.absoluteFilePath());
  } else {
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedFiles().value(0);
}

class QtDesktop final : public Desktop {
 public:
  std::optional<QString> ChooseFileToOpen(QWidget* parent,
                                          const FileDialogRequest& request) override {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
  }
  std::optional<QString> ChooseFileToSave(QWidget* parent,
                                          const FileDialogRequest& request) override {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
  }
  void SetClipboardText(const QString& text) override { QApplication::clipboard()->setText(text); }
  void OpenWebAddress(const QUrl& address) override { QDesktopServices::openUrl(address); }
};

}  // namespace

Desktop& SystemDesktop() {
  static QtDesktop desktop;
  return desktop;
}

}  // namespace Orvane
