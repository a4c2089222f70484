#include "SoundFilterModel.h"

#include "SoundListModel.h"

namespace Orvane {

SoundFilterModel::SoundFilterModel(SoundListModel& sounds, QObject* parent)
    : QSortFilterProxyModel(parent), sounds_(sounds) {
  setSourceModel(&sounds);
  setSortRole(SoundListModel::SortRole);
  setSortCaseSensitivity(Qt::CaseInsensitive);
}

void SoundFilterModel::CycleSort(int column) {
  if (sortColumn() != column) return sort(column, Qt::AscendingOrder);
  if (sortOrder() == Qt::AscendingOrder) return sort(column, Qt::DescendingOrder);
  sort(-1);  // the bank's order
}

std::optional<int> SoundFilterModel::SortedBy() const {
  return sortColumn() < 0 ? std::nullopt : std::optional(sortColumn());
}

void SoundFilterModel::SetText(const QString& text) {
  text_ = text.trimmed();
  bool number = false;
  const qulonglong index = text_.toULongLong(&number, 10);
  index_ = number ? std::optional(index) : std::nullopt;
  invalidateRowsFilter();
}

void SoundFilterModel::SetChangedOnly(bool changedOnly) {
  changedOnly_ = changedOnly;
  invalidateRowsFilter();
}

bool SoundFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  if (changedOnly_ && !sounds_.IsChanged(sourceRow)) return false;
  if (text_.isEmpty()) return true;
  if (index_) return static_cast<qulonglong>(sourceRow) == *index_;
  return sounds_.NameOfRow(sourceRow).contains(text_, Qt::CaseInsensitive);
}

}  // namespace Orvane
