// The parent's side of decoding in the decoder program: it starts the program, sends the
// request and reads the records, stopping the child at the first failure. What the child says
// of the file (damaged, unsupported) is the file's failure; anything else that goes wrong
// with the child is the decoder's (ChildFailed), never the file's.
#include <algorithm>
#include <array>
#include <vector>

#include "ByteOrder.h"
#include "ChildProcess.h"
#include "Decoder.h"
#include "Decoders.h"
#include "DecoderProtocol.h"
#include "Text.h"

namespace Orvane::Audio {
namespace {

// The name of the decoder program, beside the programs or in their libexec folder.
constexpr const char* kDecoderProgram = "orvane-decoder";

Status Stopped(const std::string& why, ErrorKind kind = ErrorKind::ChildFailed) {
  return Status::Error(kind, "the decoder stopped: " + why);
}

Status DescribeEnd(const ChildEnd& end, const DecodeLimits& limits) {
  switch (end.How) {
    case ChildEnd::Way::Exited:
      if (end.Code == kOutOfMemoryExit) break;
      if (end.Code == 0) return Stopped("it ended before the end of the sound");
      return Stopped(Str("it exited with status ", end.Code));
    case ChildEnd::Way::Crashed: return Stopped(Str("it crashed (signal or exception ", end.Code, ")"));
    case ChildEnd::Way::OutOfMemory: break;
    case ChildEnd::Way::OutOfTime:
      return Stopped(Str("it used up its ", limits.CpuSeconds, " s of processor time"));
    case ChildEnd::Way::Unknown: return Stopped("it ended, and the system does not say how");
  }
  return Stopped(Str("it ran out of its memory allowance (", limits.ExtraMemory >> 20, " MiB)"),
                 ErrorKind::TooLarge);
}

Status Malformed() { return Stopped("it sent a malformed record"); }

// The parent's side: reads the child's records, stopping it at the first failure.
class IsolatedSource final : public FloatSource {
 public:
  IsolatedSource(ChildProcess child, std::filesystem::path file, const DecodeLimits& limits)
      : child_(std::move(child)), file_(std::move(file)), limits_(limits) {
    block_.reserve(kBlockSamples);
  }
  Status ReceiveInfo();
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float> samples) override;

 private:
  struct Header {
    std::uint32_t Type = 0, Size = 0;
  };
  Status Receive(std::span<std::uint8_t> bytes);
  Result<Header> ReceiveHeader();
  Result<std::vector<std::uint8_t>> ReceivePayload(const Header& header);
  Status ReceiveError(const Header& header);
  Status ReceiveBlock();
  Status Fail(const Status& failure) {
    child_.Kill();
    failure_ = failure.At(InFile(file_));
    return failure_;
  }

  ChildProcess child_;
  std::filesystem::path file_;
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
  if (!got) return Stopped(got.message());
  switch (*got) {
    case PipeRead::Filled: return Status::Ok();
    case PipeRead::Idle:
      return Stopped(Str("it delivered nothing for ", limits_.Idle.count() / 1000.0, " s"));
    case PipeRead::Closed: break;
  }
  return DescribeEnd(child_.Finish(limits_.Idle), limits_);
}

Result<IsolatedSource::Header> IsolatedSource::ReceiveHeader() {
  std::array<std::uint8_t, kRecordHeaderBytes> bytes{};
  if (Status got = Receive(bytes); !got) return got;
  const Header header{LoadU32(bytes.data()), LoadU32(bytes.data() + 4)};
  const auto max = MaxPayload(header.Type);
  if (!max || header.Size > *max) return Malformed();
  return header;
}

Result<std::vector<std::uint8_t>> IsolatedSource::ReceivePayload(const Header& header) {
  std::vector<std::uint8_t> payload(header.Size);
  if (Status got = Receive(payload); !got) return got;
  return payload;
}

Status IsolatedSource::ReceiveError(const Header& header) {
  auto payload = ReceivePayload(header);
  if (!payload) return payload.status();
  auto told = DecodeError(*payload);
  return told ? *told : Malformed();
}

Status IsolatedSource::ReceiveInfo() {
  auto header = ReceiveHeader();
  if (!header) return Fail(header.status());
  if (header->Type == static_cast<std::uint32_t>(Record::Error)) return Fail(ReceiveError(*header));
  if (header->Type != static_cast<std::uint32_t>(Record::Info)) return Fail(Malformed());
  auto payload = ReceivePayload(*header);
  if (!payload) return Fail(payload.status());
  auto info = DecodeInfo(*payload);
  if (!info || !CheckSourceInfo(*info)) return Fail(Malformed());
  info_ = std::move(*info);
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

// The request as its size and its bytes.
std::vector<std::uint8_t> RequestMessage(const DecodeRequest& request) {
  const std::vector<std::uint8_t> body = EncodeRequest(request);
  std::vector<std::uint8_t> message(4);
  StoreU32(message.data(), static_cast<std::uint32_t>(body.size()));
  message.insert(message.end(), body.begin(), body.end());
  return message;
}

Result<std::unique_ptr<FloatSource>> OpenInDecoderProgram(const std::filesystem::path& file,
                                                          Container container, bool infoOnly,
                                                          const DecodeLimits& limits) {
  auto program = limits.Program.empty() ? HelperProgram(kDecoderProgram)
                                        : Result<std::filesystem::path>(limits.Program);
  if (!program) return Stopped(Str("it cannot be found: ", program.message())).At(InFile(file));
  auto child = ChildProcess::Start(*program);
  if (!child) return Stopped(child.message()).At(InFile(file));
  const DecodeRequest request{file, container, infoOnly, limits.ExtraMemory, limits.CpuSeconds};
  // A child that cannot take its request has ended already: how it ended says why.
  if (Status sent = child->Send(RequestMessage(request)); !sent)
    return DescribeEnd(child->Finish(limits.Idle), limits).At(InFile(file));
  child->CloseInput();
  auto source = std::make_unique<IsolatedSource>(std::move(*child), file, limits);
  if (Status info = source->ReceiveInfo(); !info) return info;
  return std::unique_ptr<FloatSource>(std::move(source));
}

}  // namespace

Result<std::unique_ptr<FloatSource>> OpenIsolatedDecoder(const std::filesystem::path& file,
                                                         Container container,
                                                         const DecodeLimits& limits) {
  return OpenInDecoderProgram(file, container, /*infoOnly=*/false, limits);
}

Result<SourceInfo> ProbeIsolatedDecoder(const std::filesystem::path& file, Container container,
                                        const DecodeLimits& limits) {
  auto opened = OpenInDecoderProgram(file, container, /*infoOnly=*/true, limits);
  if (!opened) return opened.status();
  return (*opened)->Info();
}

}  // namespace Orvane::Audio
