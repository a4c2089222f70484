#pragma once
// Which audio container a file is, judged by its own bytes before any decoder sees it. Only a
// list of containers and encodings is let through: the decoding libraries have known faults
// on others (ADPCM in WAVE among them).
#include <optional>

#include "AudioContainer.h"
#include "ByteSource.h"
#include "Status.h"
#include "WaveReader.h"

namespace Orvane {

struct AudioFileType {
  Audio::Container Container = Audio::Container::Wave;
  std::optional<WaveInfo> Wave;  // what the chunk reader found, for RIFF and RF64 files
};

// PCM and float WAVE, RF64 and Wave64; AIFF, and AIFC holding PCM or float; FLAC; Ogg Vorbis
// and Ogg Opus; MPEG Layer III, also behind an ID3v2 tag. Anything else fails (Unsupported, or
// Damaged for a file too broken to tell), saying what the file is where that is known.
Result<AudioFileType> IdentifyAudioFile(ByteSource& source);

}  // namespace Orvane
