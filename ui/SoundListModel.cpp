#include "SoundListModel.h"

#include <algorithm>
#include <limits>

#include <QMimeData>

#include "EntryCells.h"
#include "LevelsMeter.h"
#include "SoundFormat.h"

namespace Orvane {

// The header's fields come from the cells every listing shows; the list adds its own after them.
static_assert(SoundListModel::columnLength == Orvane::kColumnCount, "the header's cells come first");

SoundListModel::SoundListModel(const CSoundEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor) {}

void SoundListModel::Refill() {
  beginResetModel();
  // Rows are ints to the view; a bank of more sounds than that could not be loaded anyway.
  rows_ = static_cast<int>(std::min<std::size_t>(editor_.Count(), std::numeric_limits<int>::max()));
  names_.assign(static_cast<std::size_t>(rows_), {});
  endResetModel();
}

void SoundListModel::Follow(const RowChange& change) {
  if (change.Rows.empty()) return;
  const auto first = static_cast<int>(change.Rows.front());
  if (change.What == RowChange::Kind::Changed) {
    for (const std::uint32_t row : change.Rows) {
      const auto r = static_cast<int>(row);
      names_[row] = {};
      emit dataChanged(index(r, 0), index(r, kColumnCount - 1), {Qt::DisplayRole, SortRole});
    }
  } else {
    // A run of consecutive rows at once, from the first. Inserted rows are where they end up,
    // with those before them already in place; removed rows are where they were, less the rows
    // already gone before them.
    pending_ = change;
    const bool inserted = change.What == RowChange::Kind::Inserted;
    for (std::size_t begin = 0; begin < change.Rows.size();) {
      std::size_t end = begin + 1;
      while (end < change.Rows.size() && change.Rows[end] == change.Rows[end - 1] + 1) ++end;
      const int shift = inserted ? 0 : static_cast<int>(begin);
      const int from = static_cast<int>(change.Rows[begin]) - shift;
      const int count = static_cast<int>(end - begin);
      const auto at = names_.begin() + from;
      if (inserted) {
        beginInsertRows({}, from, from + count - 1);
        announced_ = end;
        rows_ += count;
        names_.insert(at, static_cast<std::size_t>(count), Name{});
        endInsertRows();
      } else {
        beginRemoveRows({}, from, from + count - 1);
        announced_ = end;
        rows_ -= count;
        names_.erase(at, at + count);
        endRemoveRows();
      }
      begin = end;
    }
    pending_.Rows.clear();
    announced_ = 0;
  }
  LaterRowsMoved(first);
}

std::optional<std::uint32_t> SoundListModel::SoundOfRow(int row) const {
  const auto shown = static_cast<std::uint32_t>(row);
  std::uint32_t sound = shown;
  for (std::size_t k = announced_; k < pending_.Rows.size(); ++k) {
    if (pending_.What == RowChange::Kind::Inserted) {
      if (pending_.Rows[k] > sound) break;
      ++sound;
    } else {
      const std::uint32_t gone = pending_.Rows[k] - static_cast<std::uint32_t>(announced_);
      if (gone == shown) return std::nullopt;
      if (gone > shown) break;
      --sound;
    }
  }
  // The engine may have dropped its bank since the last refill (a bank of no sounds does that).
  if (sound >= editor_.Count()) return std::nullopt;
  return sound;
}

void SoundListModel::OffsetsChanged() { LaterRowsMoved(0); }

void SoundListModel::LaterRowsMoved(int first) {
  if (first >= rows_) return;
  emit dataChanged(index(first, columnIndex), index(rows_ - 1, columnOffset), {Qt::DisplayRole, SortRole});
  // Compared by index, every later sound meets another sound of the compared bank.
  if (changes_)
    emit dataChanged(index(first, columnChange), index(rows_ - 1, columnChange),
                     {Qt::DisplayRole, Qt::ToolTipRole, SortRole});
}

void SoundListModel::ChangesChanged() {
  if (rows_ > 0)
    emit dataChanged(index(0, columnChange), index(rows_ - 1, columnChange),
                     {Qt::DisplayRole, Qt::ToolTipRole, SortRole});
}

bool SoundListModel::IsChanged(int row) const {
  const auto sound = SoundOfRow(row);
  return sound && changes_ && changes_(*sound).has_value();
}

int SoundListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int SoundListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString SoundListModel::CellText(std::uint32_t index, const BankEntry& element, Column column) {
  if (column == columnLength) {
    const auto seconds = element.Damaged() ? std::nullopt : SecondsOf(element.Entry);
    return seconds ? QString::number(*seconds, 'f', 2) : QString();
  }
  return QString::fromStdString(Orvane::CellText(index, element, column));
}

void SoundListModel::SetLevels(LevelsMeter& meter) {
  levels_ = &meter;
  connect(&meter, &LevelsMeter::Measured, this, [this](std::uint32_t first, std::uint32_t last) {
    if (rows_ == 0) return;
    const int top = std::min(static_cast<int>(first), rows_ - 1);
    const int bottom = std::min(static_cast<int>(last), rows_ - 1);
    emit dataChanged(index(top, columnPeak), index(bottom, columnLoudness),
                     {Qt::DisplayRole, Qt::ToolTipRole, SortRole});
  });
}

QVariant SoundListModel::SortValue(std::uint32_t index, const BankEntry& element, Column column) {
  const TbSoundEntry& e = element.Entry;
  switch (column) {
    case columnIndex: return index;
    case columnOffset: return element.Offset;
    case columnHeaderSize: return e.HeaderSize;
    case columnDataSize: return e.DataSize;
    case columnSampleRate: return e.SampleRate;
    case columnBitsPerSample: return e.BitsPerSample;
    case columnNumChannels: return e.NumChannels;
    case columnUnknown: return e.Unknown;
    case columnLoopStart: return e.LoopStart;
    case columnLoopEnd: return e.LoopEnd;
    case columnLength: {
      // Sounds without a length sort before every length.
      const auto seconds = element.Damaged() ? std::nullopt : SecondsOf(e);
      return seconds.value_or(-1.0);
    }
    case columnName:  // by its row's text, made once: data() answers it
    case columnPeak:
    case columnLoudness:
    case columnChange:
    case kColumnCount: break;  // the model's own, not the header's
  }
  return {};
}

const QString& SoundListModel::NameOfRow(int row) const {
  Name& name = names_[static_cast<std::size_t>(row)];
  if (!name.Known) {
    name.Text = data(index(row, columnName)).toString();
    name.Known = true;
  }
  return name.Text;
}

QVariant SoundListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != SortRole && role != Qt::ToolTipRole) ||
      !checkIndex(index, CheckIndexOption::IndexIsValid))
    return {};
  const auto sound = SoundOfRow(index.row());
  if (!sound) return {};
  const auto column = static_cast<Column>(index.column());
  if (column == columnChange) {
    const auto change = changes_ ? changes_(*sound) : std::nullopt;
    if (!change) return role == SortRole ? QVariant(QString()) : QVariant();
    if (role == Qt::ToolTipRole) return QString::fromStdString(FieldNames(change->Fields));
    return QString::fromLatin1(ChangeName(change->Change));
  }
  if (role == Qt::ToolTipRole) {
    if ((column != columnPeak && column != columnLoudness) || !levels_) return {};
    const auto refusal = levels_->Refusal(*sound);
    return refusal ? QVariant(QString::fromStdString("No levels: " + *refusal)) : QVariant();
  }
  // A sort compares names again and again: the row's text is converted once.
  if (column == columnName && role == SortRole) return NameOfRow(index.row());
  if (column == columnPeak || column == columnLoudness) {
    const auto levels = levels_ ? levels_->Levels(*sound) : std::nullopt;
    const double value = !levels ? 0 : column == columnPeak ? levels->PeakDbfs : levels->LoudnessLufs;
    // Silent sounds sort first (-inf), then those not measured yet, then every level.
    if (role == SortRole) return levels ? value : std::numeric_limits<double>::lowest();
    return levels ? QString::fromStdString(LevelText(value)) : QString();
  }
  return role == SortRole ? SortValue(*sound, editor_.Entry(*sound), column)
                          : CellText(*sound, editor_.Entry(*sound), column);
}

QVariant SoundListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (section == columnLength) return QStringLiteral("Length");
  if (section == columnPeak) return QStringLiteral("Peak");
  if (section == columnLoudness) return QStringLiteral("Loudness");
  if (section == columnChange) return QStringLiteral("Change");
  const std::string_view title = kColumnTitles[static_cast<std::size_t>(section)];
  return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

Qt::ItemFlags SoundListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  return dragFiles_ ? flags | Qt::ItemIsDragEnabled : flags;
}

QStringList SoundListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* SoundListModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<std::uint32_t> sounds;
  for (const QModelIndex& cell : indexes)
    if (const auto sound = SoundOfRow(cell.row())) sounds.push_back(*sound);
  std::sort(sounds.begin(), sounds.end());
  sounds.erase(std::unique(sounds.begin(), sounds.end()), sounds.end());
  if (sounds.empty() || !dragFiles_) return nullptr;
  const QList<QUrl> files = dragFiles_(sounds);
  if (files.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setUrls(files);
  return data;
}

}  // namespace Orvane
