#pragma once
// A decoded sound, read front to back as 32-bit float frames.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Status.h"

namespace Orvane::Audio {

// More channels than any recording has: every decoder takes a larger count for damage.
inline constexpr unsigned kMaxSourceChannels = 256;

struct SourceInfo {
  double RateHz = 0;      // as the file declares it
  unsigned Channels = 0;  // at least 1
  // Precision of the decoded samples: 8, 16, 24 or 32 for integer PCM, 32 for float and for
  // lossy encodings (they decode to float), 64 for double. Decides whether dither is needed.
  unsigned Bits = 0;
  std::string Encoding;  // for the user: "16-bit", "24-bit", "32-bit float", "MP3", "Vorbis", ...
  // The length the file declares, to show before decoding; nothing when it does not say. Only
  // decoding tells the real length: nothing is sized from this.
  std::optional<std::uint64_t> Frames = {};
};

// What every decoded source declares before its frames are read, checked in one place: 1 to
// kMaxSourceChannels channels, a positive rate, a precision of 8, 16, 24, 32 or 64 bits.
// Damaged otherwise: a decoder declares such things only of a damaged file.
Status CheckSourceInfo(const SourceInfo& info);

class FloatSource {
 public:
  virtual ~FloatSource() = default;
  virtual const SourceInfo& Info() const = 0;
  // Fills `samples` (interleaved, Info().Channels per frame; its size a multiple of that) from
  // the start and answers how many whole frames it wrote: 0 only at the end of the sound.
  // Samples are nominally within [-1, 1]; nothing is checked or clipped here.
  virtual Result<std::size_t> Read(std::span<float> samples) = 0;
};

}  // namespace Orvane::Audio
