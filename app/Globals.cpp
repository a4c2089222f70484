#include "Globals.h"

namespace Orvane {

// Defined together, in this order, so they are built in this order and destroyed in reverse.
CSoundEditor g_SoundEditor;
QString g_InitialDirectory;
QString g_InitialDirectorySave;

MainForm* GlobalForms::MainWindow = nullptr;
AboutForm* GlobalForms::AboutWindow = nullptr;

}  // namespace Orvane
