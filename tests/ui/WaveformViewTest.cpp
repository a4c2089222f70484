#include <gtest/gtest.h>

#include <cmath>

#include <QImage>

#include "SoundEditor.h"
#include "TestFiles.h"
#include "WaveformView.h"

namespace Orvane::Test {
namespace {

// A column covering fewer frames than a peaks block is drawn from the samples: 13.23 frames a
// column here, against blocks of 16. Its band must span exactly the samples under it and the
// one before them, or a steady tone breaks into stripes.
TEST(WaveformView, AFineViewDrawsEachColumnFromItsOwnFramesWithoutGaps) {
  constexpr int kFrames = 13230;  // 0.6 s at 22,050 Hz
  std::vector<double> sine(kFrames);
  Bytes samples;
  for (int f = 0; f < kFrames; ++f) {
    const auto v = static_cast<std::int16_t>(std::lround(32767 * std::sin(2 * M_PI * 440 * f / 22050.0)));
    sine[f] = v / 32768.0;
    AppendU16(samples, static_cast<std::uint16_t>(v));
  }
  TempDir dir;
  WriteFile(dir / "a.sdt", MakeBank({{.Name = "sine", .Data = samples}}));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "a.sdt"));

  WaveformView view;
  view.resize(1000 + 8, 240);  // lanes 1,000 pixels wide between margins of 4
  view.ShowSound(editor, 0);
  const QImage image = view.grab().toImage();
  const QRgb band = view.palette().color(QPalette::Highlight).rgb();
  constexpr int kLeft = 4, kWidth = 1000;
  std::vector<int> top(kWidth, -1), bottom(kWidth, -1);
  for (int x = 0; x < kWidth; ++x)
    for (int y = 0; y < image.height(); ++y)
      if (image.pixel(kLeft + x, y) == band) {
        if (top[x] < 0) top[x] = y;
        bottom[x] = y;
      }
  // Full scale up and down, as drawn: the scale the expectations use.
  const double up = *std::min_element(top.begin(), top.end());
  const double down = *std::max_element(bottom.begin(), bottom.end());
  const auto pixel = [&](double v) { return up + (1 - v) / 2 * (down - up) * 32768 / 32767; };
  const double fpp = static_cast<double>(kFrames) / kWidth;
  for (int x = 0; x < kWidth; ++x) {
    SCOPED_TRACE(x);
    ASSERT_GE(top[x], 0) << "no column is blank";
    const auto first = static_cast<int>(x * fpp);
    const int last = static_cast<int>((x + 1) * fpp);
    const auto [lo, hi] = std::minmax_element(sine.begin() + std::max(first - 1, 0), sine.begin() + last);
    EXPECT_NEAR(top[x], pixel(*hi), 1.0);
    EXPECT_NEAR(bottom[x], pixel(*lo), 1.0);
  }
}

}  // namespace
}  // namespace Orvane::Test
