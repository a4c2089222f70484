// Linked into the window's program only: SDL is then among the libraries the program starts
// with, where the package's dependency scan finds it, and the sound output's lookup of the
// library finds it already loaded. The command-line tool leaves it out, so that only playing
// loads SDL there.
#include <SDL.h>

namespace Orvane {

// A use of SDL, which keeps the library among the program's own.
extern const auto kLinkedSdl = &SDL_OpenAudioDevice;

}  // namespace Orvane
