#include "SoundListModel.h"

#include <algorithm>
#include <limits>

#include "EntryCells.h"

namespace Orvane {

static_assert(SoundListModel::kColumnCount == Orvane::kColumnCount, "one column per cell");

SoundListModel::SoundListModel(const CSoundEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor) {}

void SoundListModel::Refill() {
  beginResetModel();
  // Rows are ints to the view; a bank of more sounds than that could not be loaded anyway.
  rows_ = static_cast<int>(std::min<std::size_t>(editor_.Count(), std::numeric_limits<int>::max()));
  endResetModel();
}

int SoundListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int SoundListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString SoundListModel::CellText(std::uint32_t index, const BankEntry& element, Column column) {
  return QString::fromStdString(Orvane::CellText(index, element, column));
}

QVariant SoundListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The engine may have dropped its bank since the last refill (a bank of no sounds does that).
  if (row >= editor_.Count()) return {};
  return CellText(static_cast<std::uint32_t>(row), editor_.Entry(static_cast<std::uint32_t>(row)),
                  static_cast<Column>(index.column()));
}

QVariant SoundListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  const std::string_view title = kColumnTitles[static_cast<std::size_t>(section)];
  return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::ItemFlags SoundListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace Orvane
