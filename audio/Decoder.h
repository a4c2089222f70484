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
  // Address space the decoder may take beyond what this process already has.
  std::uint64_t ExtraMemory = std::uint64_t{1} << 30;
  // Samples (frames times channels) after which decoding stops with TooLarge.
  std::uint64_t MaxSamples = std::uint64_t{1} << 32;
};

// Decodes in a child process under `limits` and hands the frames over a pipe: a decoder that
// crashes, hangs or exhausts its memory ends the child, and this answers a failure naming
// what happened, never taking this process down.
Result<std::unique_ptr<FloatSource>> OpenIsolatedDecoder(const std::filesystem::path& file,
                                                         Container container,
                                                         const DecodeLimits& limits = {});

// What `file` declares (rate, channels, precision, encoding, length), read in a child process
// that opens the file and ends without decoding it.
Result<SourceInfo> ProbeIsolatedDecoder(const std::filesystem::path& file, Container container,
                                        const DecodeLimits& limits = {});

}  // namespace Orvane::Audio
