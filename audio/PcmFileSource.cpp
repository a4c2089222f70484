#include "PcmFileSource.h"

#include <vector>

#include "Decoders.h"
#include "PcmDecoding.h"

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
    DecodePcm(bytes_, layout_.Bits, layout_.Float,
              samples.first(static_cast<std::size_t>(frames * layout_.Channels)));
    return static_cast<std::size_t>(frames);
  }

 private:
  InputFile file_;
  PcmLayout layout_;
  SourceInfo info_;
  std::uint64_t frameBytes_;
  std::uint64_t position_;
  std::uint64_t end_;
  std::vector<std::uint8_t> bytes_;
};

bool Supported(const PcmLayout& l) {
  return IsDecodablePcm(l.Bits, l.Float) && l.Channels >= 1 && l.Channels <= kMaxSourceChannels &&
         l.RateHz > 0;
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
  SourceInfo info{layout.RateHz, layout.Channels, layout.Bits,
                  layout.Float ? Str(layout.Bits, "-bit float") : Str(layout.Bits, "-bit"),
                  layout.Size / (layout.Bits / 8 * layout.Channels)};
  return std::unique_ptr<FloatSource>(std::make_unique<PcmFileSource>(std::move(*input), layout, std::move(info)));
}

}  // namespace Orvane::Audio
