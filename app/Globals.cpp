#include "Globals.h"

namespace Orvane {

CSoundEditor g_SoundEditor;
MainForm* GlobalForms::MainWindow = nullptr;

}  // namespace Orvane
