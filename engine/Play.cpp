#include "SoundEditor.h"

namespace Orvane {

// Replaced by the sound output when playback is built.
Status CSoundEditor::Play(std::uint32_t index) {
  auto image = BuildPlayImage(index);
  if (!image) return image.status();
  return Status::Error("this build has no sound output");
}

}  // namespace Orvane
