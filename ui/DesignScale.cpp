#include "DesignScale.h"

#include <cmath>

namespace Orvane {

namespace {

// A font's average character width is taken over the Latin letters, as the 6-pixel base was.
const QString kAlphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");

}  // namespace

double DesignScale::AverageCharWidth(const QFontMetrics& font) {
  return font.horizontalAdvance(kAlphabet) / static_cast<double>(kAlphabet.size());
}

DesignScale::DesignScale(const QFontMetrics& font)
    : x_(AverageCharWidth(font) / kBaseCharWidth), y_(font.height() / kBaseCharHeight) {}

int DesignScale::X(int designPixels) const {
  return static_cast<int>(std::lround(designPixels * x_));
}
int DesignScale::Y(int designPixels) const {
  return static_cast<int>(std::lround(designPixels * y_));
}

}  // namespace Orvane
