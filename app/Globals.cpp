#include "Globals.h"

#include <QApplication>

#include "PlaybackConversion.h"

namespace Orvane {

SoundOutput::Settings WindowSoundSettings() {
  return {&Audio::ConvertForPlayback, [] { QApplication::beep(); }};
}

// In this order: the output is made before the engine that plays on it, and goes after it.
SoundOutput g_SoundOutput(WindowSoundSettings());
CSoundEditor g_SoundEditor(&g_SoundOutput);
MainForm* GlobalForms::MainWindow = nullptr;

}  // namespace Orvane
