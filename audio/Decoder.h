#pragma once
// Opens an audio file for decoding: libmpg123 for MP3 (so that a VBR file without a Xing header
// decodes to its whole length), libsndfile for every other container.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "AudioContainer.h"
#include "FloatSource.h"
#include "Status.h"

namespace Orvane::Audio {

// Decodes in this process. Only for files the caller trusts or has checked: the decoding
// libraries have known faults on malformed files. Fails (Unsupported or Damaged, naming what
// the library said) when the file cannot be opened as `container`.
Result<std::unique_ptr<FloatSource>> OpenDecoder(const std::filesystem::path& file,
                                                 Container container);

struct DecodeLimits {
  // A decoder that delivers nothing for this long is taken to hang and is stopped.
  std::chrono::milliseconds Idle{10000};
  // Address space the decoder may take beyond what it holds when it starts.
  std::uint64_t ExtraMemory = std::uint64_t{1} << 30;
  // Processor time the decoder may take in all: minutes, where decoding the longest sound a
  // bank holds takes seconds.
  std::uint32_t CpuSeconds = 300;
  // Samples (frames times channels) after which decoding stops with TooLarge.
  std::uint64_t MaxSamples = std::uint64_t{1} << 32;
  // The decoder program; empty for the one installed with this program (orvane-decoder).
  std::filesystem::path Program = {};
};

// Decodes in the decoder program, a process of its own, under `limits`, and reads the frames
// over a pipe. What the decoder says of the file fails as the file's fault (Damaged,
// Unsupported, ...); a decoder that cannot start, crashes, hangs, overruns its limits or
// breaks the protocol fails as the decoder's (ChildFailed; TooLarge for its memory), naming
// what happened. Nothing it does takes this process down.
Result<std::unique_ptr<FloatSource>> OpenIsolatedDecoder(const std::filesystem::path& file,
                                                         Container container,
                                                         const DecodeLimits& limits = {});

// What `file` declares (rate, channels, precision, encoding, length), read by the decoder
// program, which opens the file and ends without decoding it.
Result<SourceInfo> ProbeIsolatedDecoder(const std::filesystem::path& file, Container container,
                                        const DecodeLimits& limits = {});

}  // namespace Orvane::Audio
