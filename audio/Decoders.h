#pragma once
// The decoders behind Decoder.h.
#include <filesystem>
#include <memory>
#include <span>

#include "AudioContainer.h"
#include "Decoder.h"
#include "File.h"
#include "FloatSource.h"
#include "Status.h"
#include "Text.h"

namespace Orvane::Audio {

// libsndfile, for every container but MP3.
Result<std::unique_ptr<FloatSource>> OpenSndfileDecoder(const std::filesystem::path& file,
                                                        Container container);
// libmpg123.
Result<std::unique_ptr<FloatSource>> OpenMp3Decoder(const std::filesystem::path& file);

// Opens `file` the way every file is opened: a pipe or a device under its name is refused
// rather than waited on.
inline Result<InputFile> OpenAudioFile(const std::filesystem::path& file) {
  InputFile input;
  if (Status opened = input.Open(file); !opened) return opened.Prefixed("cannot open the file: ");
  return input;
}

// A read that cannot hold one frame would answer 0, which means the end.
inline Status CheckRoomForAFrame(std::span<const float> samples, unsigned channels) {
  if (samples.size() >= channels) return Status::Ok();
  return Status::Error(
      ErrorKind::Failed, Str("a read of ", samples.size(), " samples cannot hold a frame of ", channels, " channels"));
}

}  // namespace Orvane::Audio
