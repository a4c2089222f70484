#pragma once
// The focused sound's waveform under the list: one lane per channel (at most kMaxLanes), each
// pixel column the band from the lowest to the highest sample it covers, a time axis in
// seconds, and a line at the play position while the sound plays. It draws the engine's peaks
// and never reads samples; a damaged or empty sound shows why there is nothing to draw.
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
  void DrawTimeAxis(QPainter& painter, const QRect& area) const;
  double FramesPerPixel(int width) const;
  QRect LanesArea() const;
  // The columns the line covers at playAt_; empty when there is no line.
  QRect LineColumns() const;

  std::shared_ptr<const SoundPeaks> peaks_;
  double rate_ = 0;  // frames per second
  QString note_;
  std::optional<double> playAt_;
  QPixmap drawn_;  // null until drawn for the sound and size as they are
};

}  // namespace Orvane
