#include "DiskAudio.h"

#include <algorithm>
#include <cstdlib>

#include "PathUtf8.h"
#include "PlaybackConversion.h"
#include "SoundOutput.h"

namespace Orvane::Test {

DiskAudioTest::DiskAudioTest() : output_(std::make_unique<Orvane::SoundOutput>(Settings(true))) {
  // SDL reads the driver when its audio starts and the file when a device opens.
  SetEnvironment("SDL_AUDIODRIVER", "disk");
  SetEnvironment("SDL_DISKAUDIOFILE", PathToUtf8(dir_ / "out.raw"));
}

DiskAudioTest::~DiskAudioTest() = default;

Orvane::SoundOutput::Settings DiskAudioTest::Settings(bool convert) {
  return {convert ? SoundConverter(&Audio::ConvertForPlayback) : SoundConverter(),
          [this] {
            if (defaultSound_) defaultSound_();
          }};
}

void DiskAudioTest::WithoutConverter() { output_ = std::make_unique<Orvane::SoundOutput>(Settings(false)); }

Bytes DiskAudioTest::Written() {
  output_->ShutDown();
  return ReadFile(dir_ / "out.raw");
}

std::optional<std::size_t> FindSound(const Bytes& output, const Bytes& sound) {
  // The first 64 bytes of test samples are as good as unique.
  const auto head =
      sound.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(64, sound.size()));
  const auto at = std::search(output.begin(), output.end(), sound.begin(), head);
  if (at == output.end()) return std::nullopt;
  return static_cast<std::size_t>(at - output.begin());
}

bool HoldsAt(const Bytes& output, std::size_t from, const Bytes& sound) {
  return from <= output.size() && output.size() - from >= sound.size() &&
         std::equal(sound.begin(), sound.end(), output.begin() + static_cast<std::ptrdiff_t>(from));
}

}  // namespace Orvane::Test
