#include "SoundFilterModel.h"

#include "SoundListModel.h"

namespace Orvane {

SoundFilterModel::SoundFilterModel(SoundListModel& sounds, QObject* parent)
    : QSortFilterProxyModel(parent), sounds_(sounds) {
  setSourceModel(&sounds);
}

void SoundFilterModel::SetText(const QString& text) {
  text_ = text.trimmed();
  bool number = false;
  const qulonglong index = text_.toULongLong(&number, 10);
  index_ = number ? std::optional(index) : std::nullopt;
  invalidateRowsFilter();
}

bool SoundFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  if (text_.isEmpty()) return true;
  if (index_) return static_cast<qulonglong>(sourceRow) == *index_;
  return sounds_.NameOfRow(sourceRow).contains(text_, Qt::CaseInsensitive);
}

}  // namespace Orvane
