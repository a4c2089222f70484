#include "FuzzedFiles.h"

#include "FuzzSupport.h"

namespace Orvane::Fuzz {

std::vector<FuzzedFile> SplitFiles(std::span<const std::uint8_t> input) {
  std::vector<FuzzedFile> files;
  auto rest = SplitAt(input, kFileMarker).After;
  while (rest && files.size() < kMaxFiles) {
    const auto [bytes, next] = SplitAt(*rest, kFileMarker);
    rest = next;
    if (bytes.empty()) continue;  // no number byte
    FuzzedFile file;
    file.Number = bytes[0] % kSoundNumbers;
    file.FileName = std::to_string(file.Number) + "_" + std::to_string(files.size()) + ".wav";
    file.Bytes = bytes.subspan(1);
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
