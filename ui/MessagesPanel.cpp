#include "MessagesPanel.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableWidget>

namespace Orvane {
namespace {

enum Column { columnTime, columnSound, columnText, kColumnCount };

}  // namespace

MessagesPanel::MessagesPanel(QWidget* parent) : QDockWidget(QStringLiteral("Messages"), parent) {
  setObjectName(QStringLiteral("ctrlMessages"));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  table_ = new QTableWidget(0, kColumnCount, this);
  table_->setObjectName(QStringLiteral("ctrlMessagesList"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Time"), QStringLiteral("Sound"), QStringLiteral("Message")});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  setWidget(table_);
}

void MessagesPanel::Add(const Message& message) {
  const int row = table_->rowCount();
  table_->insertRow(row);
  const QDateTime time = QDateTime::fromSecsSinceEpoch(
      std::chrono::duration_cast<std::chrono::seconds>(message.Time.time_since_epoch()).count());
  table_->setItem(row, columnTime, new QTableWidgetItem(time.toString(QStringLiteral("HH:mm:ss"))));
  table_->setItem(row, columnSound, new QTableWidgetItem(message.Sound ? QString::number(*message.Sound)
                                                                       : QString()));
  auto* text = new QTableWidgetItem(QString::fromStdString(message.Text));
  text->setToolTip(text->text());
  if (message.Kind == ReportKind::Warning) text->setForeground(palette().brush(QPalette::Link));
  table_->setItem(row, columnText, text);
  table_->scrollToBottom();
}

int MessagesPanel::Count() const { return table_->rowCount(); }

QString MessagesPanel::Text(int row) const { return table_->item(row, columnText)->text(); }

}  // namespace Orvane
