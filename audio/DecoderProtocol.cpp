#include "DecoderProtocol.h"

#include <algorithm>
#include <bit>

#include "ByteOrder.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane::Audio {
namespace {

constexpr std::uint32_t kMagic = 0x4456524F;  // "ORVD"
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxEncodingBytes = 64;
constexpr std::size_t kMaxMessageBytes = 4096;
constexpr std::size_t kMaxFileBytes = 4096;
constexpr std::uint64_t kUnknownFrames = UINT64_MAX;
// Rate, channels, bits, the declared frames, then the encoding's text.
constexpr std::size_t kInfoFixedBytes = 8 + 4 + 4 + 8;
// Kind, sound (a flag and the index), offset (a flag and the offset), the file's length.
constexpr std::size_t kErrorFixedBytes = 4 + 1 + 4 + 1 + 8 + 4;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.resize(out.size() + 4);
  StoreU32(out.data() + out.size() - 4, v);
}
void PutU64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  PutU32(out, static_cast<std::uint32_t>(v));
  PutU32(out, static_cast<std::uint32_t>(v >> 32));
}
void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t maxBytes) {
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), maxBytes)));
}

// Fields read front to back, never past the end.
class Fields {
 public:
  explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Has(std::size_t n) const { return bytes_.size() - at_ >= n; }
  std::uint8_t U8() { return bytes_[at_++]; }
  std::uint32_t U32() { return LoadU32(Take(4)); }
  std::uint64_t U64() { return LoadU64(Take(8)); }
  std::string Text(std::size_t n) {
    const auto* p = Take(n);
    return {reinterpret_cast<const char*>(p), n};
  }
  std::string Rest() { return Text(bytes_.size() - at_); }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::uint8_t* Take(std::size_t n) {
    const std::uint8_t* p = bytes_.data() + at_;
    at_ += n;
    return p;
  }
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

Status Malformed(const char* what) {
  return Status::Error(ErrorKind::Damaged, Str("a malformed ", what));
}

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const DecodeRequest& request) {
  std::vector<std::uint8_t> out;
  PutU32(out, kMagic);
  PutU32(out, kVersion);
  PutU32(out, static_cast<std::uint32_t>(request.FileContainer));
  PutU32(out, request.InfoOnly ? 1 : 0);
  PutU64(out, request.ExtraMemory);
  PutU32(out, request.CpuSeconds);
  const std::string file = PathToUtf8(request.File);
  PutU32(out, static_cast<std::uint32_t>(file.size()));
  PutText(out, file, file.size());
  return out;
}

Result<DecodeRequest> DecodeRequestFrom(std::span<const std::uint8_t> bytes) {
  Fields in(bytes);
  if (!in.Has(32) || in.U32() != kMagic || in.U32() != kVersion) return Malformed("request");
  DecodeRequest request;
  const std::uint32_t container = in.U32();
  if (container > static_cast<std::uint32_t>(Container::Mp3)) return Malformed("request");
  request.FileContainer = static_cast<Container>(container);
  request.InfoOnly = in.U32() != 0;
  request.ExtraMemory = in.U64();
  request.CpuSeconds = in.U32();
  const std::uint32_t fileBytes = in.U32();
  if (!in.Has(fileBytes)) return Malformed("request");
  request.File = Utf8ToPath(in.Text(fileBytes));
  if (!in.AtEnd()) return Malformed("request");
  return request;
}

std::optional<std::size_t> MaxPayload(std::uint32_t type) {
  switch (static_cast<Record>(type)) {
    case Record::Info: return kInfoFixedBytes + kMaxEncodingBytes;
    case Record::Frames: return kBlockSamples * sizeof(float);
    case Record::Error: return kErrorFixedBytes + kMaxFileBytes + kMaxMessageBytes;
    case Record::End: return 0;
  }
  return std::nullopt;
}

std::vector<std::uint8_t> EncodeRecordHeader(Record type, std::size_t payloadBytes) {
  std::vector<std::uint8_t> out;
  PutU32(out, static_cast<std::uint32_t>(type));
  PutU32(out, static_cast<std::uint32_t>(payloadBytes));
  return out;
}

std::vector<std::uint8_t> EncodeInfo(const SourceInfo& info) {
  std::vector<std::uint8_t> out;
  PutU64(out, std::bit_cast<std::uint64_t>(info.RateHz));
  PutU32(out, info.Channels);
  PutU32(out, info.Bits);
  PutU64(out, info.Frames.value_or(kUnknownFrames));
  PutText(out, info.Encoding, kMaxEncodingBytes);
  return out;
}

Result<SourceInfo> DecodeInfo(std::span<const std::uint8_t> payload) {
  Fields in(payload);
  if (!in.Has(kInfoFixedBytes)) return Malformed("description of the sound");
  SourceInfo info;
  info.RateHz = std::bit_cast<double>(in.U64());
  info.Channels = in.U32();
  info.Bits = in.U32();
  if (const std::uint64_t frames = in.U64(); frames != kUnknownFrames) info.Frames = frames;
  info.Encoding = in.Rest();
  return info;
}

std::vector<std::uint8_t> EncodeError(const Status& failure) {
  std::vector<std::uint8_t> out;
  const Where& where = failure.where();
  PutU32(out, static_cast<std::uint32_t>(failure.kind()));
  out.push_back(where.Sound ? 1 : 0);
  PutU32(out, where.Sound.value_or(0));
  out.push_back(where.Offset ? 1 : 0);
  PutU64(out, where.Offset.value_or(0));
  const std::size_t fileBytes = std::min(where.File.size(), kMaxFileBytes);
  PutU32(out, static_cast<std::uint32_t>(fileBytes));
  PutText(out, where.File, fileBytes);
  PutText(out, failure.message(), kMaxMessageBytes);
  return out;
}

std::optional<Status> DecodeError(std::span<const std::uint8_t> payload) {
  Fields in(payload);
  if (!in.Has(kErrorFixedBytes)) return std::nullopt;
  const std::uint32_t kind = in.U32();
  if (!IsErrorKind(kind)) return std::nullopt;
  Where where;
  const bool hasSound = in.U8() != 0;
  const std::uint32_t sound = in.U32();
  if (hasSound) where.Sound = sound;
  const bool hasOffset = in.U8() != 0;
  const std::uint64_t offset = in.U64();
  if (hasOffset) where.Offset = offset;
  const std::uint32_t fileBytes = in.U32();
  if (fileBytes > kMaxFileBytes || !in.Has(fileBytes)) return std::nullopt;
  where.File = in.Text(fileBytes);
  std::string message = in.Rest();
  if (message.empty()) message = "the decoder failed without saying why";
  return Status::Error(static_cast<ErrorKind>(kind), std::move(message), std::move(where));
}

}  // namespace Orvane::Audio
