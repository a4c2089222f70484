// The child decodes and sends records over the pipe: the SourceInfo first, then blocks of
// frames, and last an end or an error record. Both ends are this program on this machine, so
// fields travel in native layout; the parent still checks every record, since a child gone
// astray can send anything.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "ChildProcess.h"
#include "Decoders.h"
#include "PcmFormat.h"

namespace Orvane::Audio {
namespace {

enum class Record : std::uint32_t { Info = 1, Frames, Error, End };

struct RecordHeader {
  std::uint32_t Type = 0;
  std::uint32_t Size = 0;  // bytes that follow
};

// Rate, channels, bits, the declared frames (kUnknownFrames when not declared), then the
// encoding's text.
constexpr std::size_t kInfoFixedBytes =
    sizeof(double) + 2 * sizeof(std::uint32_t) + sizeof(std::uint64_t);
constexpr std::uint64_t kUnknownFrames = UINT64_MAX;
constexpr std::size_t kMaxEncodingBytes = 64;
// Kind, then the message.
constexpr std::size_t kMaxMessageBytes = 4096;
// 64 KiB blocks: few enough system calls that the pipe costs little beside decoding, and the
// child can decode ahead while the parent converts.
constexpr std::size_t kBlockSamples = 16384;
// Children exit 0 when they have sent all they could, 1 when the parent stopped listening.
constexpr int kParentGone = 1;

Status CheckSourceInfo(const SourceInfo& info) {
  if (info.Channels < 1 || info.Channels > kMaxSourceChannels)
    return Status::Error(ErrorKind::Damaged,
                         Str("the decoder reports ", info.Channels, " channels"));
  if (!std::isfinite(info.RateHz) || info.RateHz <= 0)
    return Status::Error(ErrorKind::Damaged,
                         Str("the decoder reports a rate of ", info.RateHz, " Hz"));
  if (info.Bits != 64 && !IsPcmDepth(info.Bits))
    return Status::Error(ErrorKind::Damaged,
                         Str("the decoder reports ", info.Bits, "-bit samples"));
  return Status::Ok();
}

template <typename T>
void Append(std::vector<std::uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

template <typename T>
T Take(std::span<const std::uint8_t> in, std::size_t at) {
  T value;
  std::memcpy(&value, in.data() + at, sizeof value);
  return value;
}

std::span<const std::uint8_t> BytesOf(std::span<const float> samples) {
  return {reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size_bytes()};
}

Status Send(ChildPipe& pipe, Record type, std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> header;
  Append(header, RecordHeader{static_cast<std::uint32_t>(type),
                              static_cast<std::uint32_t>(payload.size())});
  if (Status sent = pipe.Write(header); !sent) return sent;
  return pipe.Write(payload);
}

void AppendText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t maxBytes) {
  out.insert(out.end(), text.begin(),
             text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), maxBytes)));
}

int SendError(ChildPipe& pipe, const Status& failure) {
  std::vector<std::uint8_t> payload;
  Append(payload, static_cast<std::uint32_t>(failure.kind()));
  AppendText(payload, failure.message(), kMaxMessageBytes);
  return Send(pipe, Record::Error, payload) ? 0 : kParentGone;
}

// The child's whole work.
int SendDecoded(const SourceOpener& open, ChildPipe& pipe) {
  auto opened = open();
  if (!opened) return SendError(pipe, opened.status());
  FloatSource& source = **opened;
  const SourceInfo& info = source.Info();
  if (Status valid = CheckSourceInfo(info); !valid) return SendError(pipe, valid);

  std::vector<std::uint8_t> infoRecord;
  Append(infoRecord, info.RateHz);
  Append(infoRecord, static_cast<std::uint32_t>(info.Channels));
  Append(infoRecord, static_cast<std::uint32_t>(info.Bits));
  Append(infoRecord, info.Frames.value_or(kUnknownFrames));
  AppendText(infoRecord, info.Encoding, kMaxEncodingBytes);
  if (!Send(pipe, Record::Info, infoRecord)) return kParentGone;

  std::vector<float> block(std::max<std::size_t>(kBlockSamples / info.Channels, 1) * info.Channels);
  for (;;) {
    auto frames = source.Read(block);
    if (!frames) return SendError(pipe, frames.status());
    if (*frames == 0) return Send(pipe, Record::End, {}) ? 0 : kParentGone;
    if (*frames > block.size() / info.Channels)
      return SendError(pipe,
                       Status::Error(ErrorKind::Failed,
                                     Str("the decoder wrote ", *frames, " frames into room for ",
                                         block.size() / info.Channels)));
    if (!Send(pipe, Record::Frames, BytesOf(std::span(block.data(), *frames * info.Channels))))
      return kParentGone;
  }
}

// The child only fails this way on a file that drives the decoding library astray.
Status DecoderFault(const std::string& what) {
  return Status::Error(ErrorKind::Damaged, what + " on this file; it is probably damaged");
}

Status DescribeEnd(const ChildEnd& end, const DecodeLimits& limits) {
  switch (end.How) {
    case ChildEnd::Way::Exited:
      if (end.Code == 0) break;
      return DecoderFault(Str("the decoder stopped with status ", end.Code));
    case ChildEnd::Way::Signalled:
      return DecoderFault(Str("the decoder crashed (signal ", end.Code, ")"));
    case ChildEnd::Way::OutOfMemory:
      return DecoderFault(
          Str("the decoder ran out of its memory allowance (", limits.ExtraMemory >> 20, " MiB)"));
    case ChildEnd::Way::Unknown: break;
  }
  return DecoderFault("the decoder ended before the end of the sound");
}

Status Malformed() { return DecoderFault("the decoder sent a malformed record"); }

// The most bytes a record of each type may carry, or nothing for a type that does not exist.
std::optional<std::size_t> MaxPayload(std::uint32_t type) {
  switch (static_cast<Record>(type)) {
    case Record::Info: return kInfoFixedBytes + kMaxEncodingBytes;
    case Record::Frames: return kBlockSamples * sizeof(float);
    case Record::Error: return sizeof(std::uint32_t) + kMaxMessageBytes;
    case Record::End: return 0;
  }
  return std::nullopt;
}

// The parent's side: reads the child's records, stopping it at the first failure.
class IsolatedSource final : public FloatSource {
 public:
  IsolatedSource(ChildProcess child, const DecodeLimits& limits)
      : child_(std::move(child)), limits_(limits) {
    block_.reserve(kBlockSamples);
  }
  Status ReceiveInfo();
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float> samples) override;

 private:
  Status Receive(std::span<std::uint8_t> bytes);
  Result<RecordHeader> ReceiveHeader();
  Result<std::vector<std::uint8_t>> ReceivePayload(const RecordHeader& header);
  Status ReceiveError(const RecordHeader& header);
  Status ReceiveBlock();
  Status Fail(Status failure) {
    child_.Kill();
    failure_ = failure;
    return failure;
  }

  ChildProcess child_;
  DecodeLimits limits_;
  SourceInfo info_;
  std::vector<float> block_;
  std::size_t blockRead_ = 0;  // samples of block_ already handed out
  std::uint64_t samples_ = 0;  // samples received
  bool ended_ = false;
  Status failure_ = Status::Ok();
};

Status IsolatedSource::Receive(std::span<std::uint8_t> bytes) {
  auto got = child_.Read(bytes, limits_.Idle);
  if (!got) return got.status();
  switch (*got) {
    case PipeRead::Filled: return Status::Ok();
    case PipeRead::Idle:
      return DecoderFault(
          Str("the decoder delivered nothing for ", limits_.Idle.count() / 1000.0, " s"));
    case PipeRead::Closed: break;
  }
  return DescribeEnd(child_.Finish(limits_.Idle), limits_);
}

Result<RecordHeader> IsolatedSource::ReceiveHeader() {
  std::array<std::uint8_t, sizeof(RecordHeader)> bytes{};
  if (Status got = Receive(bytes); !got) return got;
  const RecordHeader header{Take<std::uint32_t>(bytes, 0),
                            Take<std::uint32_t>(bytes, sizeof(std::uint32_t))};
  const auto max = MaxPayload(header.Type);
  if (!max || header.Size > *max) return Malformed();
  return header;
}

Result<std::vector<std::uint8_t>> IsolatedSource::ReceivePayload(const RecordHeader& header) {
  std::vector<std::uint8_t> payload(header.Size);
  if (Status got = Receive(payload); !got) return got;
  return payload;
}

Status IsolatedSource::ReceiveError(const RecordHeader& header) {
  auto payload = ReceivePayload(header);
  if (!payload) return payload.status();
  if (payload->size() < sizeof(std::uint32_t)) return Malformed();
  const auto kind = Take<std::uint32_t>(*payload, 0);
  if (!IsErrorKind(kind)) return Malformed();
  std::string message(payload->begin() + sizeof(std::uint32_t), payload->end());
  if (message.empty()) message = "the decoder failed without saying why";
  return Status::Error(static_cast<ErrorKind>(kind), std::move(message));
}

Status IsolatedSource::ReceiveInfo() {
  auto header = ReceiveHeader();
  if (!header) return Fail(header.status());
  if (header->Type == static_cast<std::uint32_t>(Record::Error)) return Fail(ReceiveError(*header));
  if (header->Type != static_cast<std::uint32_t>(Record::Info) || header->Size < kInfoFixedBytes)
    return Fail(Malformed());
  auto payload = ReceivePayload(*header);
  if (!payload) return Fail(payload.status());
  info_.RateHz = Take<double>(*payload, 0);
  info_.Channels = Take<std::uint32_t>(*payload, sizeof(double));
  info_.Bits = Take<std::uint32_t>(*payload, sizeof(double) + sizeof(std::uint32_t));
  if (const auto frames = Take<std::uint64_t>(*payload, sizeof(double) + 2 * sizeof(std::uint32_t));
      frames != kUnknownFrames)
    info_.Frames = frames;
  info_.Encoding.assign(payload->begin() + kInfoFixedBytes, payload->end());
  if (Status valid = CheckSourceInfo(info_); !valid) return Fail(valid);
  return Status::Ok();
}

Status IsolatedSource::ReceiveBlock() {
  auto header = ReceiveHeader();
  if (!header) return Fail(header.status());
  switch (static_cast<Record>(header->Type)) {
    case Record::End:
      ended_ = true;
      child_.Kill();  // it has nothing more to say, and is exiting already
      return Status::Ok();
    case Record::Error: return Fail(ReceiveError(*header));
    case Record::Frames: break;
    case Record::Info: return Fail(Malformed());
  }
  const std::size_t frameBytes = info_.Channels * sizeof(float);
  if (header->Size == 0 || header->Size % frameBytes != 0) return Fail(Malformed());
  block_.resize(header->Size / sizeof(float));
  blockRead_ = 0;
  if (Status got = Receive({reinterpret_cast<std::uint8_t*>(block_.data()), header->Size}); !got)
    return Fail(got);
  samples_ += block_.size();
  if (samples_ > limits_.MaxSamples)
    return Fail(Status::Error(ErrorKind::TooLarge,
                              Str("the sound has more than ", limits_.MaxSamples, " samples")));
  return Status::Ok();
}

Result<std::size_t> IsolatedSource::Read(std::span<float> samples) {
  if (!failure_.ok()) return failure_;
  if (Status room = CheckRoomForAFrame(samples, info_.Channels); !room) return room;
  if (blockRead_ == block_.size()) {
    if (ended_) return std::size_t{0};
    if (Status got = ReceiveBlock(); !got) return got;
    if (ended_) return std::size_t{0};
  }
  const std::size_t room = samples.size() / info_.Channels * info_.Channels;
  const std::size_t n = std::min(block_.size() - blockRead_, room);
  std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(blockRead_), n, samples.begin());
  blockRead_ += n;
  return n / info_.Channels;
}

// A source that says what the file declares and holds no frames: the probe's child sends its
// Info and its end at once.
class InfoOnly final : public FloatSource {
 public:
  explicit InfoOnly(SourceInfo info) : info_(std::move(info)) {}
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float>) override { return std::size_t{0}; }

 private:
  SourceInfo info_;
};

}  // namespace

Result<std::unique_ptr<FloatSource>> OpenInChildProcess(const SourceOpener& open,
                                                        const DecodeLimits& limits) {
  auto child = ChildProcess::Start([&open](ChildPipe& pipe) { return SendDecoded(open, pipe); },
                                   limits.ExtraMemory);
  if (!child) return child.status();
  auto source = std::make_unique<IsolatedSource>(std::move(*child), limits);
  if (Status info = source->ReceiveInfo(); !info) return info;
  return std::unique_ptr<FloatSource>(std::move(source));
}

Result<std::unique_ptr<FloatSource>> OpenIsolatedDecoder(const std::filesystem::path& file,
                                                         Container container,
                                                         const DecodeLimits& limits) {
  auto opened = OpenInChildProcess([&] { return OpenDecoder(file, container); }, limits);
  if (!opened) return opened.status().At({file.string()});
  return opened;
}

Result<SourceInfo> ProbeIsolatedDecoder(const std::filesystem::path& file, Container container,
                                        const DecodeLimits& limits) {
  auto opened = OpenInChildProcess(
      [&]() -> Result<std::unique_ptr<FloatSource>> {
        auto source = OpenDecoder(file, container);
        if (!source) return source.status();
        return std::unique_ptr<FloatSource>(std::make_unique<InfoOnly>((*source)->Info()));
      },
      limits);
  if (!opened) return opened.status().At({file.string()});
  return (*opened)->Info();
}

}  // namespace Orvane::Audio
