#pragma once
// The rows of the main window's list: one per sound of the engine's loaded bank, with the
// fields of its header. Cell texts are made when the view asks for them, so a bank of any size
// is listed at once.
#include <QAbstractTableModel>

#include "SoundEditor.h"

namespace Orvane {

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
    kColumnCount
  };

  explicit SoundListModel(const CSoundEditor& editor, QObject* parent = nullptr);

  // Lists the sounds the engine holds now, every row anew. The number of rows changes only
  // here; cells always show the engine's entries, and nothing for a row it no longer has.
  void Refill();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The text of one cell of a sound's row.
  static QString CellText(std::uint32_t index, const BankEntry& element, Column column);

 private:
  const CSoundEditor& editor_;
  int rows_ = 0;
};

}  // namespace Orvane
