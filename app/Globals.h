#pragma once
// The process-wide objects. They exist before main runs and live until the process ends; main
// hands them to the windows, which read no global.
#include "SoundEditor.h"

namespace Orvane {

class MainForm;

// The one bank engine of the run; every window command goes to it.
extern CSoundEditor g_SoundEditor;

struct GlobalForms {
  static MainForm* MainWindow;  // while the message loop runs
};

}  // namespace Orvane
