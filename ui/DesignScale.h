#pragma once
// Window layouts are laid out in pixels for a font whose average character is 6 x 13 pixels;
// a window scales them by its own font so that texts fit whatever font the desktop uses.
#include <QFontMetrics>
#include <QMargins>
#include <QRect>
#include <QSize>

namespace Orvane {

class DesignScale {
 public:
  static constexpr double kBaseCharWidth = 6.0;
  static constexpr double kBaseCharHeight = 13.0;

  explicit DesignScale(const QFontMetrics& font);

  // The width of the font's average character, in pixels.
  static double AverageCharWidth(const QFontMetrics& font);

  int X(int designPixels) const;
  int Y(int designPixels) const;
  QSize Size(int width, int height) const { return {X(width), Y(height)}; }
  QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
  QRect Rect(int x, int y, int width, int height) const {
    return {Point(x, y), Size(width, height)};
  }
  QMargins Margins(int left, int top, int right, int bottom) const {
    return {X(left), Y(top), X(right), Y(bottom)};
  }

 private:
  double x_;
  double y_;
};

}  // namespace Orvane
