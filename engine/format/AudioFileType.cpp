#include "AudioFileType.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "ByteOrder.h"
#include "PcmDecoding.h"
#include "Text.h"
#include "WaveReader.h"

namespace Orvane {
namespace {

using Audio::Container;
using Identified = Result<AudioFileType>;

constexpr const char* kAccepted =
    "conversion reads PCM or float WAVE, RF64, Wave64 and AIFF, FLAC, Ogg Vorbis, Opus and MP3";

using Guid = std::array<std::uint8_t, 16>;
constexpr Guid kW64Riff = {0x72, 0x69, 0x66, 0x66, 0x2E, 0x91, 0xCF, 0x11,
                           0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
constexpr Guid kW64Wave = {0x77, 0x61, 0x76, 0x65, 0xF3, 0xAC, 0xD3, 0x11,
                           0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
constexpr Guid kW64Format = {0x66, 0x6D, 0x74, 0x20, 0xF3, 0xAC, 0xD3, 0x11,
                             0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};

Identified Refuse(const std::string& what) {
  return Identified::Error(ErrorKind::Unsupported, Str(what, "; ", kAccepted));
}

bool Is(const std::uint8_t* bytes, const char* magic) {
  return std::memcmp(bytes, magic, std::strlen(magic)) == 0;
}

// The format tags and depths the decoder is let loose on.
Status CheckWaveEncoding(std::uint16_t tag, std::uint16_t bits) {
  const bool isFloat = tag == WaveInfo::kFormatFloat;
  if ((tag == WaveInfo::kFormatPcm || isFloat) && Audio::IsDecodablePcm(bits, isFloat))
    return Status::Ok();
  return Status::Error(ErrorKind::Unsupported,
                       Str("its samples are ", WaveFormatName(tag), " at ", bits,
                           " bits; ", kAccepted));
}

Identified IdentifyWave(ByteSource& source) {
  auto wave = ReadWave(source);
  if (!wave) return wave.status();
  if (Status s = CheckWaveEncoding(wave->FormatTag, wave->BitsPerSample); !s) return s;
  const Container container = wave->Rf64 ? Container::Rf64 : Container::Wave;
  return AudioFileType{container, std::move(*wave)};
}

// Wave64: GUID-named chunks with 64-bit sizes that count their own 24-byte header, each
// starting on an 8-byte boundary.
Identified IdentifyWave64(ByteSource& source) {
  std::uint64_t pos = 40;
  for (std::size_t n = 0; n < kMaxChunks && pos + 24 <= source.Size(); ++n) {
    std::array<std::uint8_t, 24 + 16> chunk{};
    if (!source.ReadAt(pos, std::span(chunk.data(), 24))) break;
    const std::uint64_t size = LoadU64(&chunk[16]);
    if (std::memcmp(chunk.data(), kW64Format.data(), 16) == 0) {
      if (size < 24 + 16 || !source.ReadAt(pos, chunk))
        return Identified::Error(ErrorKind::Damaged,
                                 Str("its format chunk at byte ", pos, " is cut short"));
      if (Status s = CheckWaveEncoding(LoadU16(&chunk[24]), LoadU16(&chunk[24 + 14])); !s) return s;
      return AudioFileType{Container::Wave64, std::nullopt};
    }
    if (size < 24 || size > source.Size()) break;
    pos += (size + 7) & ~std::uint64_t{7};
  }
  return Identified::Error(ErrorKind::Damaged, "it is a Wave64 file without a format chunk");
}

// AIFF and AIFC: big-endian chunks; AIFC names its encoding in the "COMM" chunk.
Identified IdentifyAiff(ByteSource& source, bool aifc) {
  std::uint64_t pos = 12;
  for (std::size_t n = 0; n < kMaxChunks && pos + 8 <= source.Size(); ++n) {
    std::array<std::uint8_t, 8 + 22> chunk{};
    if (!source.ReadAt(pos, std::span(chunk.data(), 8))) break;
    const std::uint32_t size = LoadU32BE(&chunk[4]);
    if (Is(chunk.data(), "COMM")) {
      const std::size_t need = aifc ? 22 : 18;
      if (size < need || !source.ReadAt(pos, std::span(chunk.data(), 8 + need)))
        return Identified::Error(ErrorKind::Damaged,
                                 Str("its 'COMM' chunk at byte ", pos, " is cut short"));
      const std::uint16_t bits = LoadU16BE(&chunk[8 + 6]);
      if (bits == 0 || bits > 32)
        return Identified::Error(ErrorKind::Unsupported,
                                 Str("its samples have ", bits, " bits; ", kAccepted));
      const std::uint8_t* type = &chunk[8 + 18];
      if (aifc && !(Is(type, "NONE") || Is(type, "twos") || Is(type, "sowt") ||
                    Is(type, "fl32") || Is(type, "FL32")))
        return Refuse(Str("it is an AIFC file compressed as '",
                          std::string(reinterpret_cast<const char*>(type), 4), "'"));
      return AudioFileType{Container::Aiff, std::nullopt};
    }
    pos += 8 + std::uint64_t{size} + (size & 1u);
  }
  return Identified::Error(ErrorKind::Damaged, "it is an AIFF file without a 'COMM' chunk");
}

// The first page's first packet names the codec of an Ogg stream.
Identified IdentifyOgg(ByteSource& source) {
  std::array<std::uint8_t, 27> page{};
  if (!source.ReadAt(0, page))
    return Identified::Error(ErrorKind::Damaged, "it is an Ogg file cut short in its first page");
  std::array<std::uint8_t, 8> packet{};
  if (!source.ReadAt(27 + std::uint64_t{page[26]}, packet))
    return Identified::Error(ErrorKind::Damaged, "it is an Ogg file cut short in its first page");
  if (Is(packet.data(), "\x01vorbis")) return AudioFileType{Container::OggVorbis, std::nullopt};
  if (Is(packet.data(), "OpusHead")) return AudioFileType{Container::OggOpus, std::nullopt};
  return Refuse("it is an Ogg file holding neither Vorbis nor Opus");
}

// An MPEG audio frame header of Layer III with a valid version, bit rate and sample rate.
bool IsMp3Frame(const std::uint8_t* h) {
  const unsigned version = (h[1] >> 3) & 3u;
  const unsigned layer = (h[1] >> 1) & 3u;
  const unsigned bitrate = h[2] >> 4;
  const unsigned rate = (h[2] >> 2) & 3u;
  return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && version != 1 && layer == 1 && bitrate != 15 &&
         rate != 3;
}

// What stands at `pos`: FLAC or MP3 (the two that may follow an ID3v2 tag), or nothing known.
std::optional<Container> StreamAt(ByteSource& source, std::uint64_t pos) {
  std::array<std::uint8_t, 4> b{};
  if (!source.ReadAt(pos, b)) return std::nullopt;
  if (Is(b.data(), "fLaC")) return Container::Flac;
  if (IsMp3Frame(b.data())) return Container::Mp3;
  return std::nullopt;
}

}  // namespace

Result<AudioFileType> IdentifyAudioFile(ByteSource& source) {
  std::array<std::uint8_t, 40> head{};
  const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(source.Size(), 40));
  if (have < 4 || !source.ReadAt(0, std::span(head.data(), have)))
    return Identified::Error(ErrorKind::Damaged,
                             Str("the file is ", source.Size(), " bytes long, too short for audio"));
  if (Is(&head[0], "RIFF") || Is(&head[0], "RF64") || Is(&head[0], "BW64"))
    return IdentifyWave(source);
  if (have >= 40 && std::memcmp(&head[0], kW64Riff.data(), 16) == 0 &&
      std::memcmp(&head[24], kW64Wave.data(), 16) == 0)
    return IdentifyWave64(source);
  if (have >= 12 && Is(&head[0], "FORM") && (Is(&head[8], "AIFF") || Is(&head[8], "AIFC")))
    return IdentifyAiff(source, Is(&head[8], "AIFC"));
  if (Is(&head[0], "OggS")) return IdentifyOgg(source);
  if (have >= 10 && Is(&head[0], "ID3")) {
    // ID3v2: a 10-byte header, a 28-bit size in 7-bit bytes, and a footer when flagged.
    const std::uint64_t size = (std::uint64_t{head[6] & 0x7Fu} << 21) | ((head[7] & 0x7Fu) << 14) |
                               ((head[8] & 0x7Fu) << 7) | (head[9] & 0x7Fu);
    const std::uint64_t end = 10 + size + ((head[5] & 0x10) ? 10 : 0);
    if (auto inner = StreamAt(source, end)) return AudioFileType{*inner, std::nullopt};
    return Refuse(Str("it begins with an ID3 tag, but no FLAC or MP3 stream follows it at byte ", end));
  }
  if (auto stream = StreamAt(source, 0)) return AudioFileType{*stream, std::nullopt};
  return Refuse("it is not an audio file of a known kind");
}

}  // namespace Orvane
