#pragma once
// The 40-byte header that precedes every sound's sample data in a bank.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace Orvane {

struct TbSoundEntry {
  static constexpr std::size_t kSize = 40;
  static constexpr std::size_t kNameSize = 16;

  std::uint32_t HeaderSize = 0;  // from the header's first byte to its sample data
  std::uint32_t DataSize = 0;
  // Windows-1252 text ending at the first zero byte, or filling all 16 bytes.
  std::array<std::uint8_t, kNameSize> Name{};
  std::uint16_t SampleRate = 0;  // twice the rate in hertz
  std::uint8_t BitsPerSample = 0;
  std::uint8_t NumChannels = 0;
  std::uint32_t Unknown = 0;
  std::uint32_t LoopStart = 0;
  std::uint32_t LoopEnd = 0;

  static TbSoundEntry Decode(std::span<const std::uint8_t, kSize> bytes);
  void Encode(std::span<std::uint8_t, kSize> bytes) const;

  // The name's bytes up to the terminator (Windows-1252).
  std::string NameBytes() const;
  // Stores up to 16 bytes of `bytes`; the rest of the field is zero.
  void SetName(std::string_view bytes);

  bool operator==(const TbSoundEntry&) const = default;
};

}  // namespace Orvane
