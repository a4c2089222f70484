#pragma once
// The window's messages: every failure, conversion note and warning a command left, with its
// time and sound, in a panel under the list (View > Messages). A desktop program started from a
// menu has no console; this is where its user reads what the console would have said.
#include <QDockWidget>

#include "BankSession.h"

class QTableWidget;

namespace Orvane {

class MessagesPanel final : public QDockWidget {
  Q_OBJECT

 public:
  explicit MessagesPanel(QWidget* parent = nullptr);

  void Add(const Message& message);
  int Count() const;
  // The text of message `row`, for tests and copying.
  QString Text(int row) const;

 private:
  QTableWidget* table_ = nullptr;
};

}  // namespace Orvane
