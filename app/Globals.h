#pragma once
// The process-wide objects. They exist before main runs and live until the process ends; main
// hands them to the windows, which read no global.
#include "SoundEditor.h"
#include "SoundOutput.h"

namespace Orvane {

class MainForm;

// Where the edited bank's sounds play; it outlives the engine that plays on it.
extern SoundOutput g_SoundOutput;
// The one bank engine of the run; every window command goes to it.
extern CSoundEditor g_SoundEditor;

struct GlobalForms {
  static MainForm* MainWindow;  // while the message loop runs
};

// What every sound output of the window's program does: sounds of another format than the
// device's are converted rather than given a device of their own, and a sound the output
// refuses gets the desktop's beep, as the system's default sound.
SoundOutput::Settings WindowSoundSettings();

}  // namespace Orvane
