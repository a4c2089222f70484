#include "FolderReplaceDialog.h"

#include <utility>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DesignScale.h"
#include "DialogFooter.h"
#include "PathText.h"

namespace Orvane {
namespace {

enum Column {
  columnReplace, columnIndex, columnName, columnFile, columnNow, columnNew, columnConversion,
  columnNotes, kColumnCount
};

QString SecondsText(const std::optional<double>& seconds) {
  return seconds ? QString::number(*seconds, 'f', 2) : QString();
}

// What shows in the notes column: why the file cannot go in, or what to look at.
QString Notes(const ReplacementPreview& preview) {
  if (!preview.Problem) return QString::fromStdString(preview.Problem.message());
  QStringList notes;
  for (const std::string& warning : preview.Warnings) notes << QString::fromStdString(warning);
  return notes.join(QStringLiteral("; "));
}

}  // namespace

FolderReplaceDialog::FolderReplaceDialog(const QString& title,
                                         const std::vector<ReplacementPreview>& previews,
                                         bool matchLoudness, Apply apply, QWidget* parent)
    : QDialog(parent), apply_(std::move(apply)) {
  setObjectName(QStringLiteral("FolderReplaceDialog"));
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(static_cast<int>(previews.size()), kColumnCount, this);
  table_->setObjectName(QStringLiteral("replacementsList"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Replace"), QStringLiteral("Index"),
                                     QStringLiteral("Name"), QStringLiteral("File"),
                                     QStringLiteral("Now (s)"), QStringLiteral("New (s)"),
                                     QStringLiteral("Conversion"), QStringLiteral("Notes")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  for (int row = 0; row < table_->rowCount(); ++row) {
    const ReplacementPreview& p = previews[static_cast<std::size_t>(row)];
    rows_.push_back({p.What, p.Unchanged});
    // A file that holds its sound already has nothing to do, and one that cannot be read
    // cannot go in: neither can be ticked.
    const bool usable = p.Problem.ok() && !p.Unchanged;
    auto* tick = new QTableWidgetItem;
    tick->setFlags(usable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
    tick->setCheckState(usable ? Qt::Checked : Qt::Unchecked);
    table_->setItem(row, columnReplace, tick);
    const auto cell = [&](Column column, const QString& text) {
      auto* item = new QTableWidgetItem(text);
      item->setToolTip(text);
      table_->setItem(row, column, item);
    };
    cell(columnIndex, QString::number(p.What.Index));
    cell(columnName, QString::fromStdString(p.Name));
    cell(columnFile, ToText(p.What.File.filename()));
    cell(columnNow, SecondsText(p.NowSeconds));
    cell(columnNew, SecondsText(p.NewSeconds));
    cell(columnConversion, p.Unchanged ? QStringLiteral("unchanged")
                                       : QString::fromStdString(p.Conversion));
    cell(columnNotes, Notes(p));
  }
  table_->resizeColumnsToContents();
  layout->addWidget(table_);

  matchLoudness_ = new QCheckBox(QStringLiteral("Match the loudness of the sounds they replace"), this);
  matchLoudness_->setObjectName(QStringLiteral("matchLoudnessBox"));
  matchLoudness_->setChecked(matchLoudness);
  layout->addWidget(matchLoudness_);

  const DialogFooter footer = AddDialogFooter(*this, *layout);
  reason_ = footer.Reason;
  footer.Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Replace"));
  resize(DesignScale(fontMetrics()).Size(760, 420));
}

std::vector<Replacement> FolderReplaceDialog::Ticked() const {
  std::vector<Replacement> ticked;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.Unchanged || table_->item(row, columnReplace)->checkState() == Qt::Checked)
      ticked.push_back(r.What);
  }
  return ticked;
}

void FolderReplaceDialog::accept() {
  const std::vector<Replacement> ticked = Ticked();
  if (!ticked.empty()) {
    if (Status applied = apply_(ticked, matchLoudness_->isChecked()); !applied) {
      reason_->setText(QString::fromStdString(applied.message()));
      return;
    }
  }
  QDialog::accept();
}

}  // namespace Orvane
