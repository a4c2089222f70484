#pragma once
// Answers the windows' dialogs in place of a person and records what they asked of the desktop.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QDialog>

#include "Desktop.h"

namespace Orvane::Test {

class FakeDesktop final : public Desktop {
 public:
  // Answers for the next dialogs, in order; nothing stands for Cancel.
  std::deque<std::optional<QString>> Answers;
  std::vector<FileDialogRequest> OpenRequests;
  std::vector<FileDialogRequest> SaveRequests;
  std::vector<FileDialogRequest> FolderRequests;
  std::vector<QString> Clipboard;
  std::vector<QUrl> OpenedAddresses;
  // Answers to the unsaved-edits question, in order; Cancel once they run out.
  std::deque<UnsavedEdits> UnsavedAnswers;
  std::vector<QString> UnsavedQuestions;
  // Plays the user's part in a modal dialog: fills it in, presses its buttons.
  std::function<void(QDialog&)> DialogUser;

  std::optional<QString> ChooseFileToOpen(QWidget*, const FileDialogRequest& request) override {
    OpenRequests.push_back(request);
    return NextAnswer();
  }
  std::optional<QString> ChooseFileToSave(QWidget*, const FileDialogRequest& request) override {
    SaveRequests.push_back(request);
    return NextAnswer();
  }
  std::optional<QString> ChooseFolder(QWidget*, const FileDialogRequest& request) override {
    FolderRequests.push_back(request);
    return NextAnswer();
  }
  UnsavedEdits AskAboutUnsavedEdits(QWidget*, const QString& bankName) override {
    UnsavedQuestions.push_back(bankName);
    if (UnsavedAnswers.empty()) return UnsavedEdits::Cancel;
    const UnsavedEdits answer = UnsavedAnswers.front();
    UnsavedAnswers.pop_front();
    return answer;
  }
  bool RunDialog(QDialog& dialog) override {
    if (DialogUser) DialogUser(dialog);
    return dialog.result() == QDialog::Accepted;
  }
  void SetClipboardText(const QString& text) override { Clipboard.push_back(text); }
  void OpenWebAddress(const QUrl& address) override { OpenedAddresses.push_back(address); }

 private:
  std::optional<QString> NextAnswer() {
    if (Answers.empty()) return std::nullopt;
    std::optional<QString> answer;
    answer.swap(Answers.front());
    Answers.pop_front();
    return answer;
  }
};

}  // namespace Orvane::Test
