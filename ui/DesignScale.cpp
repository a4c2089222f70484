#include "DesignScale.h"

#include <cmath>

namespace Orvane {

DesignScale::DesignScale(const QFontMetrics& font)
    : x_(font.averageCharWidth() / kBaseCharWidth), y_(font.height() / kBaseCharHeight) {}

int DesignScale::X(int designPixels) const { return static_cast<int>(std::lround(designPixels * x_)); }
int DesignScale::Y(int designPixels) const { return static_cast<int>(std::lround(designPixels * y_)); }

}  // namespace Orvane
