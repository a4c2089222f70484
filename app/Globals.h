#pragma once
// The process-wide objects that the windows and the bank engine share. They exist before
// main runs and live until the process ends.
#include <QString>

#include "SoundEditor.h"

namespace Orvane {

class MainForm;
class AboutForm;

// The one bank engine of the run; every window command goes to it.
extern CSoundEditor g_SoundEditor;
// The full path of the file last confirmed in the Open dialog, which the dialog starts from
// next time; null until then.
extern QString g_InitialDirectory;
// Where the Save dialog starts; nothing stores into it, so it starts in the working directory.
extern QString g_InitialDirectorySave;

struct GlobalForms {
  static MainForm* MainWindow;
  static AboutForm* AboutWindow;  // the open About window; null while none is open
};

}  // namespace Orvane
