#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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
  std::optional<QString> ChooseFolder(QWidget* parent, const FileDialogRequest& request) override {
    const QString folder = QFileDialog::getExistingDirectory(parent, request.Title, request.Start);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
  }
  UnsavedEdits AskAboutUnsavedEdits(QWidget* parent, const QString& bankName) override {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("%1 has edits that are not saved.").arg(bankName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(QStringLiteral("Save them before going on?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
      case QMessageBox::Save:
        return UnsavedEdits::Save;
      case QMessageBox::Discard:
        return UnsavedEdits::Discard;
      default:
        return UnsavedEdits::Cancel;
    }
  }
  bool RunDialog(QDialog& dialog) override { return dialog.exec() == QDialog::Accepted; }
  void SetClipboardText(const QString& text) override { QApplication::clipboard()->setText(text); }
  void OpenWebAddress(const QUrl& address) override { QDesktopServices::openUrl(address); }
};

}  // namespace

Desktop& SystemDesktop() {
  static QtDesktop desktop;
  return desktop;
}

}  // namespace Orvane
