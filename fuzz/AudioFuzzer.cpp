// Arbitrary bytes as an audio file, behind the magic bytes of each container conversion takes,
// through the pre-check, isolated decoding and conversion. Every refusal must say why; every
// conversion must hand over exactly the bytes its format and frame count promise.
#include <array>
#include <string_view>

#include "FuzzSupport.h"
#include "SoundImport.h"

using namespace Orvane;
using namespace Orvane::Fuzz;

namespace {

// The first input byte picks one of these to stand before the rest; past the list, none.
constexpr std::array<std::string_view, 8> kMagics = {
    "RIFF\x24\0\0\0WAVEfmt ", "RF64\xff\xff\xff\xffWAVEds64", "FORM\0\0\0\x40" "AIFFCOMM",
    "FORM\0\0\0\x40" "AIFCFVER", "fLaC\0\0\0\x22", "OggS\0\x02\0\0\0\0\0\0\0\0", "ID3\x04\0\0\0\0\0\0",
    "\xff\xfb\x90\x64"};

void CheckConversion(const SoundFile& file, const FormatRequest& request) {
  std::uint64_t received = 0;
  auto converted = ConvertSound(file, request, [&](std::span<const std::uint8_t> bytes) {
    received += bytes.size();
    return Status::Ok();
  });
  if (!converted) {
    Require(!converted.message().empty(), "a failed conversion says why");
    return;
  }
  const SoundFormat& format = converted->Format;
  Require(Audio::IsPcmDepth(format.BitsPerSample) && format.NumChannels >= 1,
          "a conversion gives a format a bank holds");
  Require(received == converted->DataSize, "the sink gets every byte the sound holds");
  Require(received % format.Pcm().BytesPerFrame() == 0, "the sink gets whole frames");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::filesystem::path folder = ScratchFolder("audio");
  const std::filesystem::path file = folder / "sound";
  std::vector<std::uint8_t> bytes;
  if (data[0] < kMagics.size()) bytes.assign(kMagics[data[0]].begin(), kMagics[data[0]].end());
  bytes.insert(bytes.end(), data + 1, data + size);
  WriteBytes(file, bytes);

  auto checked = CheckSoundFile(file, [](const Report&) {});
  if (!checked) {
    Require(!checked.message().empty(), "a refusal says why");
    return 0;
  }
  // A file that would be copied unchanged is still decoded once, brought to 8-bit.
  const FormatRequest request =
      checked->CopiesUnchanged({}) ? FormatRequest{std::nullopt, 8, std::nullopt} : FormatRequest{};
  CheckConversion(*checked, request);
  return 0;
}
