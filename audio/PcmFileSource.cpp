#include "PcmFileSource.h"

#include <bit>
#include <vector>

#include "ByteOrder.h"
#include "Decoders.h"

namespace Orvane::Audio {
namespace {

class PcmFileSource final : public FloatSource {
 public:
  PcmFileSource(InputFile file, const PcmLayout& layout, SourceInfo info)
      : file_(std::move(file)), layout_(layout), info_(std::move(info)),
        frameBytes_(layout.Bits / 8 * layout.Channels),
        position_(layout.Offset), end_(layout.Offset + layout.Size / frameBytes_ * frameBytes_) {}

  const SourceInfo& Info() const override { return info_; }

  Result<std::size_t> Read(std::span<float> samples) override {
    if (Status room = CheckRoomForAFrame(samples, layout_.Channels); !room) return room;
    const std::uint64_t frames =
        std::min<std::uint64_t>(samples.size() / layout_.Channels, (end_ - position_) / frameBytes_);
    bytes_.resize(static_cast<std::size_t>(frames * frameBytes_));
    if (!file_.ReadAt(position_, bytes_))
      return Result<std::size_t>::Error(
          ErrorKind::Io, Str("the samples at byte ", position_, " cannot be read any more"));
    position_ += bytes_.size();
    Convert(samples.first(static_cast<std::size_t>(frames * layout_.Channels)));
    return static_cast<std::size_t>(frames);
  }

 private:
  void Convert(std::span<float> out) const {
    const std::uint8_t* p = bytes_.data();
    const auto each = [&](auto sample) {
      for (float& x : out) {
        x = sample(p);
        p += layout_.Bits / 8;
      }
    };
    if (layout_.Float && layout_.Bits == 32)
      return each([](const std::uint8_t* b) { return std::bit_cast<float>(LoadU32(b)); });
    if (layout_.Float)
      return each([](const std::uint8_t* b) { return static_cast<float>(std::bit_cast<double>(LoadU64(b))); });
    switch (layout_.Bits) {
      case 8: return each([](const std::uint8_t* b) { return (b[0] - 128) / 128.0f; });
      case 16:
        return each([](const std::uint8_t* b) { return static_cast<std::int16_t>(LoadU16(b)) / 32768.0f; });
      case 24:
        return each([](const std::uint8_t* b) {
          const auto v = static_cast<std::int32_t>((b[0] << 8) | (b[1] << 16) | (std::uint32_t{b[2]} << 24));
          return static_cast<float>(v / 2147483648.0);
        });
      default:
        return each([](const std::uint8_t* b) {
          return static_cast<float>(static_cast<std::int32_t>(LoadU32(b)) / 2147483648.0);
        });
    }
  }

  InputFile file_;
  PcmLayout layout_;
  SourceInfo info_;
  std::uint64_t frameBytes_;
  std::uint64_t position_;
  std::uint64_t end_;
  std::vector<std::uint8_t> bytes_;
};

bool Supported(const PcmLayout& l) {
  const bool depth = l.Float ? (l.Bits == 32 || l.Bits == 64)
                             : (l.Bits == 8 || l.Bits == 16 || l.Bits == 24 || l.Bits == 32);
  return depth && l.Channels >= 1 && l.Channels <= kMaxSourceChannels && l.Rate > 0;
}

}  // namespace

Result<std::unique_ptr<FloatSource>> OpenPcmFileSource(const std::filesystem::path& file,
                                                       const PcmLayout& layout) {
  using Opened = Result<std::unique_ptr<FloatSource>>;
  if (!Supported(layout))
    return Opened::Error(ErrorKind::Unsupported,
                         Str("samples of ", layout.Bits, "-bit ", layout.Float ? "float" : "PCM",
                             " in ", layout.Channels, " channels cannot be read"));
  auto input = OpenAudioFile(file);
  if (!input) return Opened(input.status());
  if (layout.Offset > input->Size() || layout.Size > input->Size() - layout.Offset)
    return Opened::Error(ErrorKind::ChangedOnDisk,
                         Str("the file is ", input->Size(), " bytes long now, too short for its samples"));
  SourceInfo info{layout.Rate, layout.Channels, layout.Bits,
                  layout.Float ? Str(layout.Bits, "-bit float") : Str(layout.Bits, "-bit")};
  return std::unique_ptr<FloatSource>(std::make_unique<PcmFileSource>(std::move(*input), layout, std::move(info)));
}

}  // namespace Orvane::Audio
