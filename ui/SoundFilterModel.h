#pragma once
// The rows the list shows, in the order it shows them: every sound whose name, as the list shows
// it, holds the filter's text (in any case), or the sound whose Index is the text when it is a
// number; in the bank's order, or sorted by a column. Commands map its rows back to the sounds
// they show.
#include <optional>

#include <QSortFilterProxyModel>

namespace Orvane {

class SoundListModel;

class SoundFilterModel final : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit SoundFilterModel(SoundListModel& sounds, QObject* parent = nullptr);

  void SetText(const QString& text);
  // Only the sounds that differ from the compared bank's.
  void SetChangedOnly(bool changedOnly);
  bool Active() const { return !text_.isEmpty() || changedOnly_; }

  // A click on a column's header: sorted by it ascending, then descending, then the bank's
  // order again; another column starts again at ascending. Sorting changes nothing in the bank.
  void CycleSort(int column);
  // The column sorted by, or nothing for the bank's order.
  std::optional<int> SortedBy() const;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  SoundListModel& sounds_;
  QString text_;
  bool changedOnly_ = false;
  std::optional<qulonglong> index_;  // when the text is a number
};

}  // namespace Orvane
