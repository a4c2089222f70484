#pragma once
// The windows on screen that their opener does not hand out.
#include <QApplication>

#include "AboutForm.h"

namespace Orvane::Test {

// The About window on screen, if one is.
inline AboutForm* AboutWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* about = qobject_cast<AboutForm*>(w); about && about->isVisible()) return about;
  return nullptr;
}

}  // namespace Orvane::Test
