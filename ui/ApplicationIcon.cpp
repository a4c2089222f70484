#include "ApplicationIcon.h"

// Resources compiled into a static library are registered only when asked for by name.
static void RegisterResources() { Q_INIT_RESOURCE(resources); }

namespace Orvane {

QIcon ApplicationIcon() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
  return QIcon(QStringLiteral(":/icons/orvane.png"));
}

}  // namespace Orvane
