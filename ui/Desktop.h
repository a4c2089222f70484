#pragma once
// What the windows ask of the desktop beyond themselves: file dialogs, the clipboard and the
// web browser. The windows reach them only through this interface, so tests answer in place of
// a person.
#include <optional>

#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace Orvane {

struct FileDialogRequest {
  QString Title;
  QString Filter;  // as Qt writes filters: "SDT (*.sdt)"
  // A folder to start in, or a file: then the dialog starts in its folder with it selected.
  QString Start;
};

// What the user wants done with edits that are not saved, before they would be lost.
enum class UnsavedEdits { Save, Discard, Cancel };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The path the user confirmed, or nothing when the dialog was cancelled.
  virtual std::optional<QString> ChooseFileToOpen(QWidget* parent,
                                                  const FileDialogRequest& request) = 0;
  virtual std::optional<QString> ChooseFileToSave(QWidget* parent,
                                                  const FileDialogRequest& request) = 0;
  // A folder that exists; `request.Start` is the folder to start in, its Filter unused.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const FileDialogRequest& request) = 0;

  // Asks whether to save the edits of the bank named `bankName` first. The program's one
  // message box.
  virtual UnsavedEdits AskAboutUnsavedEdits(QWidget* parent, const QString& bankName) = 0;

  // Shows `dialog` modally; true when the user confirmed it.
  virtual bool RunDialog(QDialog& dialog) = 0;

  // Replaces what the clipboard holds.
  virtual void SetClipboardText(const QString& text) = 0;

  // Hands the address to the user's browser and returns at once; whether a browser could be
  // started is not looked at.
  virtual void OpenWebAddress(const QUrl& address) = 0;
};

// The real desktop: Qt's file dialogs, the system clipboard and browser.
Desktop& SystemDesktop();

}  // namespace Orvane
