#include "WaveReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "ByteOrder.h"
#include "Text.h"

namespace Orvane {
namespace {

constexpr std::uint64_t kRiffHeaderSize = 12;
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint32_t kMinFormatSize = 16;
constexpr std::uint32_t kExtensibleFormatSize = 40;
// The bytes after the first two of the GUID of every sub-format built on a WAVE format tag.
constexpr std::array<std::uint8_t, 14> kSubFormatGuidTail = {
    0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::string Printable(const std::uint8_t* id) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    const auto c = id[i];
    s += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  return s;
}

// A file whose chunks contradict themselves or stop short, at byte `at` of it.
Status Malformed(std::string reason, std::uint64_t at) {
  return Status::Error(ErrorKind::Damaged, std::move(reason), Where{{}, {}, at});
}

// A read that failed (a file that shrank, a system's refusal) of what starts at byte `at`, in
// this reader's words.
Status Unreadable(const Status& read, std::string reason, std::uint64_t at) {
  return Status::Error(read.kind(), std::move(reason), Where{read.where().File, {}, at});
}

std::string ChunkPlace(const WaveChunk& chunk) {
  return Str("the '", chunk.Id, "' chunk at byte ", chunk.Offset);
}

Status ReadFormat(ByteSource& source, const WaveChunk& chunk, WaveInfo& info) {
  if (chunk.Size < kMinFormatSize)
    return Malformed(Str(ChunkPlace(chunk), " is ", chunk.Size, " bytes, shorter than the ",
                         kMinFormatSize, " a PCM format needs"),
                     chunk.Offset);
  std::array<std::uint8_t, kExtensibleFormatSize> b{};
  const std::size_t want = std::min<std::uint32_t>(chunk.Size, kExtensibleFormatSize);
  if (Status read = source.ReadAt(chunk.Offset + kChunkHeaderSize, std::span(b.data(), want)); !read)
    return Unreadable(read, Str(ChunkPlace(chunk), " runs past the end of the file"), chunk.Offset);
  info.FormatTag = LoadU16(&b[0]);
  info.NumChannels = LoadU16(&b[2]);
  info.SampleRateHz = LoadU32(&b[4]);
  info.BitsPerSample = LoadU16(&b[14]);
  if (info.FormatTag == WaveInfo::kFormatExtensible) {
    info.Extensible = true;
    if (chunk.Size < kExtensibleFormatSize)
      return Malformed(Str(ChunkPlace(chunk), " declares WAVE_FORMAT_EXTENSIBLE but is only ",
                           chunk.Size, " bytes, too short for its sub-format"),
                       chunk.Offset);
    // The sub-format GUID starts at byte 24 of the chunk body; its first two bytes are the tag.
    const bool standard = std::equal(kSubFormatGuidTail.begin(), kSubFormatGuidTail.end(), &b[26]);
    info.FormatTag = standard ? LoadU16(&b[24]) : WaveInfo::kFormatExtensible;
  }
  return Status::Ok();
}

}  // namespace

std::string WaveFormatName(std::uint16_t tag) {
  switch (tag) {
    case WaveInfo::kFormatPcm: return "PCM";
    case 2: return "Microsoft ADPCM";
    case WaveInfo::kFormatFloat: return "floating point";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x11: return "IMA ADPCM";
    case 0x31: return "GSM 6.10";
    case 0x55: return "MP3";
    case WaveInfo::kFormatExtensible: return "an unknown extensible format";
    default: return Str("format ", tag);
  }
}

Result<WaveInfo> ReadWave(ByteSource& source) {
  const std::uint64_t size = source.Size();
  std::array<std::uint8_t, kRiffHeaderSize> riff{};
  if (!source.ReadAt(0, riff))
    return Malformed(Str("the file is ", size, " bytes long, too short for a RIFF header"), 0);
  const bool rf64 = std::memcmp(&riff[0], "RF64", 4) == 0 || std::memcmp(&riff[0], "BW64", 4) == 0;
  if (std::memcmp(&riff[0], "RIFF", 4) != 0 && !rf64)
    return Malformed(Str("it is not a RIFF file (it begins with '", Printable(&riff[0]), "')"), 0);
  if (std::memcmp(&riff[8], "WAVE", 4) != 0)
    return Malformed(Str("it is a RIFF file of form '", Printable(&riff[8]), "', not WAVE"), 8);

  WaveInfo info;
  info.Rf64 = rf64;
  bool haveFormat = false;
  bool haveData = false;
  // Walk to the end of the file rather than of the RIFF size: editors often leave that stale.
  for (std::uint64_t pos = kRiffHeaderSize; pos + kChunkHeaderSize <= size;) {
    if (info.Chunks.size() == kMaxChunks) {
      info.Warnings.push_back(Str("stopped reading chunks at byte ", pos, " after ", kMaxChunks,
                                  " of them"));
      break;
    }
    std::array<std::uint8_t, kChunkHeaderSize> head{};
    if (Status read = source.ReadAt(pos, head); !read)
      return Unreadable(read, Str("the chunk header at byte ", pos, " cannot be read"), pos);
    WaveChunk chunk{Printable(&head[0]), pos, LoadU32(&head[4])};
    info.Chunks.push_back(chunk);
    const std::uint64_t body = pos + kChunkHeaderSize;
    const std::uint64_t end = body + chunk.Size;

    if (chunk.Id == "fmt ") {
      if (haveFormat) {
        info.Warnings.push_back(Str(ChunkPlace(chunk), " repeats the format; the first one is used"));
      } else {
        if (Status s = ReadFormat(source, chunk, info); !s) return s;
        haveFormat = true;
      }
    } else if (chunk.Id == "data") {
      if (haveData) {
        info.Warnings.push_back(Str(ChunkPlace(chunk), " is a second data chunk; it is ignored"));
      } else {
        haveData = true;
        info.DataOffset = body;
        info.DeclaredDataSize = chunk.Size;
        info.DataSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(chunk.Size, size - body));
        if (info.DataSize < chunk.Size)
          info.Warnings.push_back(Str(ChunkPlace(chunk), " declares ", chunk.Size,
                                      " bytes of samples but only ", info.DataSize,
                                      " follow; the bytes present are taken"));
      }
    }
    if (end > size) {
      if (chunk.Id != "data" && !(haveFormat && haveData))
        return Malformed(Str(ChunkPlace(chunk), " declares ", chunk.Size,
                             " bytes, which run past the end of the file (", size, " bytes)"),
                         chunk.Offset);
      break;
    }
    pos = end + (chunk.Size & 1u);  // chunks of odd size carry a pad byte
  }

  if (!haveFormat) return Malformed("it has no 'fmt ' chunk", size);
  if (!haveData) return Malformed("it has no 'data' chunk", size);
  return info;
}

}  // namespace Orvane
