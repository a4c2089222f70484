#include "WaveformView.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include "SoundFormat.h"

namespace Orvane {
namespace {

// The step between the time axis's ticks: 1, 2 or 5 times a power of ten seconds, the
// smallest that leaves `minPixels` between two ticks.
double TickStep(double secondsPerPixel, int minPixels) {
  const double least = secondsPerPixel * minPixels;
  double step = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (step * factor >= least) return step * factor;
  }
  return step * 10;
}

}  // namespace

WaveformView::WaveformView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ctrlWaveform"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setMinimumHeight(fontMetrics().height() * 3);
}

void WaveformView::ShowSound(const CSoundEditor& editor, std::optional<std::uint32_t> index) {
  peaks_.reset();
  samples_.reset();
  note_.clear();
  playAt_.reset();
  if (index && *index < editor.Count()) {
    if (auto peaks = editor.Waveforms().Peaks(*index); !peaks) {
      note_ = QString::fromStdString(peaks.message());
    } else if ((*peaks)->Frames == 0) {
      note_ = QStringLiteral("Sound %1 is empty").arg(*index);
    } else {
      peaks_ = *peaks;
      rate_ = SoundFormat::Of(editor.Entry(*index).Entry).RateHz();
      if (auto samples = editor.SamplesOf(*index)) samples_ = std::move(*samples);
    }
  }
  drawn_ = QPixmap();
  update();
}

void WaveformView::SetPlayPosition(std::optional<double> seconds) {
  if (seconds == playAt_) return;
  const QRect left = LineColumns();
  playAt_ = seconds;
  const QRect entered = LineColumns();
  if (left == entered) return;
  update(left);
  update(entered);
}

void WaveformView::resizeEvent(QResizeEvent* event) {
  drawn_ = QPixmap();
  QWidget::resizeEvent(event);
}

void WaveformView::changeEvent(QEvent* event) {
  const auto type = event->type();
  if (type == QEvent::PaletteChange || type == QEvent::FontChange || type == QEvent::StyleChange)
    drawn_ = QPixmap();
  QWidget::changeEvent(event);
}

double WaveformView::FramesPerPixel(int width) const {
  return static_cast<double>(peaks_->Frames) / std::max(width, 1);
}

QRect WaveformView::LanesArea() const {
  return rect().adjusted(4, 2, -4, -2 - (fontMetrics().height() + 4));
}

QRect WaveformView::LineColumns() const {
  if (!peaks_ || !playAt_ || rate_ <= 0) return {};
  const QRect lanes = LanesArea();
  const auto x = static_cast<int>(lanes.left() + *playAt_ * rate_ / FramesPerPixel(lanes.width()));
  return QRect(x, lanes.top(), 1, lanes.height());
}

void WaveformView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!peaks_) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, note_);
    return;
  }
  // Drawn again for a new size, sound or palette, and on a screen of another pixel density.
  if (drawn_.isNull() || drawn_.devicePixelRatio() != devicePixelRatioF()) DrawWaveform();
  const QRect dirty = event->rect();
  const qreal ratio = drawn_.devicePixelRatio();
  painter.drawPixmap(dirty, drawn_,
                     QRectF(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                            dirty.height() * ratio));
  if (const QRect line = LineColumns(); line.intersects(dirty)) painter.fillRect(line, Qt::red);
}

void WaveformView::DrawWaveform() {
  const qreal ratio = devicePixelRatioF();
  drawn_ = QPixmap(size() * ratio);
  drawn_.setDevicePixelRatio(ratio);
  drawn_.fill(palette().color(QPalette::Base));
  QPainter painter(&drawn_);
  const QRect all = rect().adjusted(4, 2, -4, -2);
  const QRect lanes = LanesArea();
  DrawLanes(painter, lanes);
  DrawTimeAxis(painter, QRect(all.left(), lanes.bottom() + 1, all.width(), all.bottom() - lanes.bottom()));
}

void WaveformView::DrawLanes(QPainter& painter, const QRect& area) const {
  const unsigned lanes = std::min(peaks_->Channels, kMaxLanes);
  const double fpp = FramesPerPixel(area.width());
  const PeakLevel& level = peaks_->LevelFor(fpp);
  const double laneHeight = static_cast<double>(area.height()) / lanes;
  const QColor band = palette().color(QPalette::Highlight);
  const bool fromSamples = samples_ && fpp < peaks_->Levels.front().FramesPerBlock;
  for (unsigned lane = 0; lane < lanes; ++lane) {
    const double top = area.top() + lane * laneHeight;
    const double middle = top + laneHeight / 2;
    const double half = laneHeight / 2 - 1;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(QPointF(area.left(), middle), QPointF(area.right(), middle));
    painter.setPen(band);
    if (fromSamples) {
      DrawSamples(painter, area, lane, middle, half);
      continue;
    }
    const float* mins = level.Min.data() + std::size_t{lane} * level.Blocks;
    const float* maxs = level.Max.data() + std::size_t{lane} * level.Blocks;
    for (int x = 0; x < area.width(); ++x) {
      // The blocks that overlap this column's frames; at least one, for a short sound.
      auto first = static_cast<std::size_t>(x * fpp / level.FramesPerBlock);
      auto last = static_cast<std::size_t>(std::ceil((x + 1) * fpp / level.FramesPerBlock));
      first = std::min<std::size_t>(first, level.Blocks - 1);
      last = std::clamp<std::size_t>(last, first + 1, level.Blocks);
      const float lo = *std::min_element(mins + first, mins + last);
      const float hi = *std::max_element(maxs + first, maxs + last);
      painter.drawLine(QPointF(area.left() + x + 0.5, middle - hi * half),
                       QPointF(area.left() + x + 0.5, middle - lo * half));
    }
  }
  if (peaks_->Channels > kMaxLanes) {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(
        area.adjusted(2, 0, 0, 0), Qt::AlignTop | Qt::AlignLeft,
        QStringLiteral("Showing %1 of %2 channels").arg(kMaxLanes).arg(peaks_->Channels));
  }
}

void WaveformView::DrawSamples(QPainter& painter, const QRect& area, unsigned channel,
                               double middle, double half) const {
  const std::span<const std::uint8_t> bytes = samples_->Samples.Bytes;
  const unsigned bits = samples_->Format.BitsPerSample;
  const unsigned channels = samples_->Format.NumChannels;
  const std::uint64_t frames = peaks_->Frames;
  const double fpp = FramesPerPixel(area.width());
  const auto span = [&](std::uint64_t first, std::uint64_t last) {
    return FrameSpan(bytes, bits, channels, channel, first, last);
  };
  if (fpp < 1) {
    // Each frame is wider than a pixel: a point at its middle, joined to the next.
    QList<QPointF> points;
    for (std::uint64_t f = 0; f < frames; ++f)
      points << QPointF(area.left() + (static_cast<double>(f) + 0.5) / fpp,
                        middle - span(f, f + 1).Max * half);
    painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    return;
  }
  for (int x = 0; x < area.width(); ++x) {
    const auto first = static_cast<std::uint64_t>(x * fpp);
    if (first >= frames) break;
    const std::uint64_t last = std::min(frames, static_cast<std::uint64_t>((x + 1) * fpp));
    // The frame before this column's joins the two columns' bands.
    const std::uint64_t from = first > 0 ? first - 1 : 0;
    const SampleSpan s = span(from, std::max(last, from + 1));
    painter.drawLine(QPointF(area.left() + x + 0.5, middle - s.Max * half),
                     QPointF(area.left() + x + 0.5, middle - s.Min * half));
  }
}

void WaveformView::DrawTimeAxis(QPainter& painter, const QRect& area) const {
  if (rate_ <= 0) return;
  const double secondsPerPixel = FramesPerPixel(area.width()) / rate_;
  const double step = TickStep(secondsPerPixel, fontMetrics().horizontalAdvance(u'0') * 8);
  const double length = static_cast<double>(peaks_->Frames) / rate_;
  painter.setPen(palette().color(QPalette::Text));
  painter.drawLine(area.topLeft(), area.topRight());
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step))));
  for (double t = 0; t <= length; t += step) {
    const int x = area.left() + static_cast<int>(t / secondsPerPixel);
    painter.drawLine(x, area.top(), x, area.top() + 3);
    const QString label = QStringLiteral("%1 s").arg(t, 0, 'f', decimals);
    if (x + 2 + fontMetrics().horizontalAdvance(label) > area.right()) break;  // no cut-off label
    painter.drawText(QRect(x + 2, area.top(), 200, area.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     label);
  }
}

}  // namespace Orvane
