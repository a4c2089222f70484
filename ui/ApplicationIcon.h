#pragma once
#include <QIcon>

namespace Orvane {

// The program's icon, the same for every window.
QIcon ApplicationIcon();

}  // namespace Orvane
