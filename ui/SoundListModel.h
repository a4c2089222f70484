#pragma once
// The rows of the main window's list: one per sound of the engine's loaded bank, with the
// fields of its header and its length. Cell texts are made when the view asks for them, so a
// bank of any size is listed at once. Rows can be dragged out as the files export writes.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QList>
#include <QUrl>

#include "BankChange.h"
#include "BankDiff.h"
#include "SoundEditor.h"

namespace Orvane {

class LevelsMeter;

class SoundListModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    columnIndex,
    columnOffset,
    columnHeaderSize,
    columnDataSize,
    columnName,
    columnSampleRate,
    columnBitsPerSample,
    columnNumChannels,
    columnUnknown,
    columnLoopStart,
    columnLoopEnd,
    columnLength,    // seconds, two decimals; empty for a damaged sound
    columnPeak,      // dBFS, one decimal; empty until measured
    columnLoudness,  // LUFS, one decimal; empty until measured
    columnChange,    // against a compared bank: changed or added, the fields as its tooltip
    kColumnCount
  };
  // What the list sorts by: numbers as numbers, the name as text.
  static constexpr int SortRole = Qt::UserRole;

  // Writes sounds out as files for a drag and answers where they are; nothing when it could not.
  using DragFiles = std::function<QList<QUrl>(const std::vector<std::uint32_t>& sounds)>;

  explicit SoundListModel(const CSoundEditor& editor, QObject* parent = nullptr);

  // Lists the sounds the engine holds now, every row anew: after a bank is loaded. Cells always
  // show the engine's entries, and nothing for a row it no longer has.
  void Refill();
  // Announces the rows an edit, undo or redo changed, inserted or removed, so that views keep
  // their focus, selection and scroll position. Later rows' Index and Offset cells move too.
  void Follow(const RowChange& change);
  // Every sound's Offset cell may differ: a save laid the bank out anew.
  void OffsetsChanged();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
  // Rows can be dragged once something writes their files.
  void SetDragFiles(DragFiles files) { dragFiles_ = std::move(files); }
  // The Peak and Loudness cells show what `meter` measured, and follow its measurements.
  void SetLevels(LevelsMeter& meter);
  // How a sound differs from a compared bank's, for the Change cells; nothing where it does not.
  using ChangeLookup = std::function<std::optional<SoundDiff>(std::uint32_t sound)>;
  void SetChanges(ChangeLookup changes) { changes_ = std::move(changes); }
  // Every Change cell may differ: a comparison began or ended.
  void ChangesChanged();
  // True when the sound of `row` differs from the compared bank's.
  bool IsChanged(int row) const;

  // The text of one cell of a sound's row.
  static QString CellText(std::uint32_t index, const BankEntry& element, Column column);
  // The value a cell sorts by.
  static QVariant SortValue(std::uint32_t index, const BankEntry& element, Column column);
  // The Name cell of `row`, made once and kept until the row changes: a filter reads every
  // row's name at each keystroke.
  const QString& NameOfRow(int row) const;

 private:
  // Announces that `first`'s row and every row after it show other Index and Offset cells.
  void LaterRowsMoved(int first);
  // The engine's sound that `row` shows. The engine has changed before Follow announces it, so
  // while it does, rows it has not announced yet keep their place: inserted sounds stay hidden
  // and removed rows show nothing.
  std::optional<std::uint32_t> SoundOfRow(int row) const;

  const CSoundEditor& editor_;
  int rows_ = 0;
  // While Follow announces inserted or removed rows: the change, and how many of its rows the
  // views know of.
  RowChange pending_;
  std::size_t announced_ = 0;
  struct Name {
    bool Known = false;
    QString Text;
  };
  mutable std::vector<Name> names_;  // one per row
  DragFiles dragFiles_;
  LevelsMeter* levels_ = nullptr;
  ChangeLookup changes_;
};

}  // namespace Orvane
