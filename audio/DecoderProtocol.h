#pragma once
// What the decoder program and the program that starts it say to each other. The parent
// writes one request on the child's standard input; the child answers on its standard output
// with records: the SourceInfo first, then blocks of frames, and last an end or an error. The
// parent checks every record it reads, since a child gone astray can send anything.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "AudioContainer.h"
#include "FloatSource.h"
#include "Status.h"

namespace Orvane::Audio {

struct DecodeRequest {
  std::filesystem::path File;
  Container FileContainer = Container::Wave;
  bool InfoOnly = false;  // answer what the file declares, and end without decoding
  // The limits the child sets on itself before it opens the file.
  std::uint64_t ExtraMemory = 0;
  std::uint32_t CpuSeconds = 0;
};

std::vector<std::uint8_t> EncodeRequest(const DecodeRequest& request);
// The request in `bytes`, all of them; Damaged when they are not one.
Result<DecodeRequest> DecodeRequestFrom(std::span<const std::uint8_t> bytes);
// A request is sent as its size (4 bytes) and then this many bytes at most.
inline constexpr std::size_t kMaxRequestBytes = 1 << 16;

enum class Record : std::uint32_t { Info = 1, Frames, Error, End };
// Each record: its type and the size of what follows, 4 bytes each.
inline constexpr std::size_t kRecordHeaderBytes = 8;
// 64 KiB blocks: few enough system calls that the pipe costs little beside decoding, and the
// child can decode ahead while the parent converts.
inline constexpr std::size_t kBlockSamples = 16384;
// The most bytes a record of `type` may carry; nothing for a type that does not exist.
std::optional<std::size_t> MaxPayload(std::uint32_t type);

std::vector<std::uint8_t> EncodeRecordHeader(Record type, std::size_t payloadBytes);
std::vector<std::uint8_t> EncodeInfo(const SourceInfo& info);
Result<SourceInfo> DecodeInfo(std::span<const std::uint8_t> payload);
// A failure with its kind and where; nothing for a payload that is no failure.
std::vector<std::uint8_t> EncodeError(const Status& failure);
std::optional<Status> DecodeError(std::span<const std::uint8_t> payload);

// The exit status of a decoder whose allocations failed under its memory limit.
inline constexpr int kOutOfMemoryExit = 125;

}  // namespace Orvane::Audio
