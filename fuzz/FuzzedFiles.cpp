#include "FuzzedFiles.h"

#include <algorithm>

namespace Orvane::Fuzz {

std::vector<FuzzedFile> SplitFiles(std::span<const std::uint8_t> input) {
  const auto marker = std::span(reinterpret_cast<const std::uint8_t*>(kFileMarker.data()),
                                kFileMarker.size());
  std::vector<FuzzedFile> files;
  auto at = std::search(input.begin(), input.end(), marker.begin(), marker.end());
  while (at != input.end() && files.size() < kMaxFiles) {
    const auto start = at + static_cast<std::ptrdiff_t>(marker.size());
    at = std::search(start, input.end(), marker.begin(), marker.end());
    if (start == at) continue;  // no number byte
    FuzzedFile file;
    file.Number = *start % kSoundNumbers;
    file.FileName = std::to_string(file.Number) + "_" + std::to_string(files.size()) + ".wav";
    file.Bytes = std::span(start + 1, at);
    files.push_back(file);
  }
  return files;
}

std::vector<std::uint8_t> JoinFiles(
    const std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>>& files) {
  std::vector<std::uint8_t> input;
  for (const auto& [number, bytes] : files) {
    input.insert(input.end(), kFileMarker.begin(), kFileMarker.end());
    input.push_back(number);
    input.insert(input.end(), bytes.begin(), bytes.end());
  }
  return input;
}

}  // namespace Orvane::Fuzz
