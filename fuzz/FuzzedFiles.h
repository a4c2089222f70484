#pragma once
// The input of the bank creation target: a folder of WAVE files in one byte string. Each file
// stands behind a marker and one byte that picks its sound number, so that mutating one file
// leaves the others whole and numbers collide often enough to exercise the ordering.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Orvane::Fuzz {

inline constexpr std::string_view kFileMarker = "\n#wav#";
// More files add little: the engine treats each alike.
inline constexpr std::size_t kMaxFiles = 16;
inline constexpr std::uint8_t kSoundNumbers = 8;

struct FuzzedFile {
  std::uint32_t Number = 0;
  std::string FileName;  // "<number>_<position>.wav": unique, so every file is a candidate
  std::span<const std::uint8_t> Bytes;
};

// The files of `input`, at most kMaxFiles; bytes before the first marker are ignored.
std::vector<FuzzedFile> SplitFiles(std::span<const std::uint8_t> input);

// The input that SplitFiles turns into these files (numbers below kSoundNumbers).
std::vector<std::uint8_t> JoinFiles(
    const std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>>& files);

}  // namespace Orvane::Fuzz
