#pragma once
// The focused sound's waveform under the list: one lane per channel (at most kMaxLanes), each
// pixel column the band from the lowest to the highest sample it covers, a time axis in
// seconds, and a line at the play position while the sound plays. It draws the engine's peaks,
// and reads samples only where a column covers fewer frames than a peaks block: then each
// column spans exactly its own frames and the last frame before them, so that the drawn line
// never breaks between columns, and frames wider than a pixel are joined by lines. A damaged or
// empty sound shows why there is nothing to draw.
#include <cstdint>
#include <memory>
#include <optional>

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "SoundEditor.h"

namespace Orvane {

class WaveformView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr unsigned kMaxLanes = 8;

  explicit WaveformView(QWidget* parent = nullptr);

  // Shows sound `index` of `editor` as it stands now, or nothing.
  void ShowSound(const CSoundEditor& editor, std::optional<std::uint32_t> index);
  // Where the line goes, in seconds from the sound's start; nothing hides it.
  void SetPlayPosition(std::optional<double> seconds);
  // What shows instead of a waveform: a damaged sound's reason, or that it is empty.
  const QString& Note() const { return note_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The waveform and its axis are drawn once into drawn_, so that moving the line repaints
  // only the columns it leaves and enters.
  void DrawWaveform();
  void DrawLanes(class QPainter& painter, const QRect& area) const;
  // One channel's lane from the samples, for a view finer than the finest peaks block.
  void DrawSamples(QPainter& painter, const QRect& area, unsigned channel, double middle,
                   double half) const;
  void DrawTimeAxis(QPainter& painter, const QRect& area) const;
  double FramesPerPixel(int width) const;
  QRect LanesArea() const;
  // The columns the line covers at playAt_; empty when there is no line.
  QRect LineColumns() const;

  std::shared_ptr<const SoundPeaks> peaks_;
  std::optional<SoundSamples> samples_;  // the same sound's samples, kept while it shows
  double rate_ = 0;  // frames per second
  QString note_;
  std::optional<double> playAt_;
  QPixmap drawn_;  // null until drawn for the sound and size as they are
};

}  // namespace Orvane
