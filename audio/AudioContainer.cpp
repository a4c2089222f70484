#include "AudioContainer.h"

namespace Orvane::Audio {

const char* ContainerName(Container container) {
  switch (container) {
    case Container::Wave: return "WAVE";
    case Container::Rf64: return "RF64";
    case Container::Wave64: return "Wave64";
    case Container::Aiff: return "AIFF";
    case Container::Flac: return "FLAC";
    case Container::OggVorbis: return "Ogg Vorbis";
    case Container::OggOpus: return "Ogg Opus";
    case Container::Mp3: return "MP3";
  }
  return "audio";
}

}  // namespace Orvane::Audio
