#pragma once
// The containers and encodings conversion accepts. The caller identifies a file's container by
// its own checks before any decoder sees the file.
namespace Orvane::Audio {

enum class Container {
  Wave,       // RIFF/WAVE, PCM or float
  Rf64,       // RF64/BW64 WAVE, PCM or float
  Wave64,     // Sony Wave64, PCM or float
  Aiff,       // AIFF, or AIFC holding PCM or float
  Flac,       // native FLAC
  OggVorbis,
  OggOpus,    // decodes at 48 kHz
  Mp3,        // MPEG-1/2 Layer III, decoded by libmpg123 to its whole length
};

// "WAVE", "FLAC", "Ogg Vorbis", ...
const char* ContainerName(Container container);

}  // namespace Orvane::Audio
