#include "DecoderService.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <vector>

#include "ByteOrder.h"
#include "ChildProcess.h"
#include "Text.h"

namespace Orvane::Audio {
namespace {

constexpr int kAnswered = 0;
constexpr int kParentGone = 1;

Status Send(ParentPipes& pipes, Record type, std::span<const std::uint8_t> payload) {
  if (Status sent = pipes.Write(EncodeRecordHeader(type, payload.size())); !sent) return sent;
  return pipes.Write(payload);
}

int SendError(ParentPipes& pipes, const Status& failure) {
  return Send(pipes, Record::Error, EncodeError(failure)) ? kAnswered : kParentGone;
}

std::span<const std::uint8_t> BytesOf(std::span<const float> samples) {
  return {reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size_bytes()};
}

Result<DecodeRequest> ReceiveRequest(ParentPipes& pipes) {
  std::array<std::uint8_t, 4> size{};
  if (Status read = pipes.Read(size); !read) return read;
  const std::uint32_t bytes = LoadU32(size.data());
  if (bytes > kMaxRequestBytes)
    return Status::Error(ErrorKind::Damaged, Str("a request of ", bytes, " bytes is too long"));
  std::vector<std::uint8_t> request(bytes);
  if (Status read = pipes.Read(request); !read) return read;
  return DecodeRequestFrom(request);
}

int SendDecoded(ParentPipes& pipes, const RequestOpener& open, const DecodeRequest& request) {
  auto opened = open(request);
  if (!opened) return SendError(pipes, opened.status().At(InFile(request.File)));
  FloatSource& source = **opened;
  const SourceInfo& info = source.Info();
  if (Status valid = CheckSourceInfo(info); !valid) return SendError(pipes, valid.At(InFile(request.File)));
  if (!Send(pipes, Record::Info, EncodeInfo(info))) return kParentGone;
  if (request.InfoOnly) return Send(pipes, Record::End, {}) ? kAnswered : kParentGone;

  std::vector<float> block(std::max<std::size_t>(kBlockSamples / info.Channels, 1) * info.Channels);
  for (;;) {
    auto frames = source.Read(block);
    if (!frames) return SendError(pipes, frames.status().At(InFile(request.File)));
    if (*frames == 0) return Send(pipes, Record::End, {}) ? kAnswered : kParentGone;
    if (*frames > block.size() / info.Channels)
      return SendError(pipes, Status::Error(ErrorKind::Failed,
                                            Str("the decoder wrote ", *frames, " frames into room for ",
                                                block.size() / info.Channels)));
    if (!Send(pipes, Record::Frames, BytesOf(std::span(block.data(), *frames * info.Channels))))
      return kParentGone;
  }
}

}  // namespace

int ServeDecodeRequest(const RequestOpener& open) {
  try {
    auto pipes = ParentPipes::Take();
    if (!pipes) return kParentGone;
    auto request = ReceiveRequest(*pipes);
    if (!request) return SendError(*pipes, request.status());
    // Before the file is touched: whatever it does to the decoding library stays within these.
    if (Status limited = LimitThisProcess({request->ExtraMemory, request->CpuSeconds}); !limited)
      return SendError(*pipes, limited.Prefixed("the decoder stopped: it "));
    return SendDecoded(*pipes, open, *request);
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryExit;
  }
}

}  // namespace Orvane::Audio
