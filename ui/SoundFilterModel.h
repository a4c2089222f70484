#pragma once
// The rows the filter box lets through: every sound whose name, as the list shows it, holds the
// text (in any case), or the sound whose Index is the text when it is a number. It keeps the
// order of the sounds; commands map its rows back to the sounds they show.
#include <optional>

#include <QSortFilterProxyModel>

namespace Orvane {

class SoundListModel;

class SoundFilterModel final : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit SoundFilterModel(SoundListModel& sounds, QObject* parent = nullptr);

  void SetText(const QString& text);
  bool Active() const { return !text_.isEmpty(); }

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  SoundListModel& sounds_;
  QString text_;
  std::optional<qulonglong> index_;  // when the text is a number
};

}  // namespace Orvane
