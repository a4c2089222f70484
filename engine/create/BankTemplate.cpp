#include "BankTemplate.h"

#include "BankHeaders.h"
#include "BankParser.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane {

Result<BankTemplate> BankTemplate::Open(const std::filesystem::path& file) {
  const auto fail = [&](const Status& why) {
    return BankOpenFailure(file, why).Suffixed("; name the bank that the files were exported from");
  };
  auto source = FileSource::Open(file);
  if (!source) return fail(source.status());
  auto bank = ParseBank(*source);
  if (!bank) return fail(bank.status());
  BankTemplate like;
  like.path_ = file;
  like.source_.emplace(std::move(*source));
  like.sounds_ = std::move(bank->Entries);
  return like;
}

const BankEntry* BankTemplate::Sound(std::uint32_t index) const {
  return index < sounds_.size() ? &sounds_[index] : nullptr;
}

FormatRequest BankTemplate::RequestFor(std::uint32_t index, const FormatRequest& asked,
                                       std::optional<std::uint32_t> fileHz) const {
  const BankEntry* old = Sound(index);
  if (!old) return asked;
  FormatRequest request = FormatRequest::Exactly(SoundFormat::Of(old->Entry));
  if (asked.SampleRate)
    request.SampleRate = asked.SampleRate;
  else if (fileHz && *fileHz == WholeHzOfStoredRate(old->Entry.SampleRate))
    request.SampleRate = StoredRateOfWholeHz(*fileHz);
  if (asked.BitsPerSample) request.BitsPerSample = asked.BitsPerSample;
  if (asked.NumChannels) request.NumChannels = asked.NumChannels;
  return request;
}

void BankTemplate::TakeRate(std::uint32_t index, const FormatRequest& asked,
                            TbSoundEntry& header) const {
  const BankEntry* old = Sound(index);
  if (old && !asked.SampleRate &&
      WholeHzOfStoredRate(header.SampleRate) == WholeHzOfStoredRate(old->Entry.SampleRate))
    header.SampleRate = old->Entry.SampleRate;
}

std::string BankTemplate::HeaderSizeLoss(const BankEntry& sound) const {
  const std::uint32_t size = sound.Entry.HeaderSize;
  if (size < TbSoundEntry::kSize)
    return Str("a HeaderSize of ", size, ", less than the ", TbSoundEntry::kSize,
               " bytes of its header");
  const std::uint64_t end = std::uint64_t{sound.Offset} + size;
  if (end > source_->Size())
    return Str("a HeaderSize of ", size, ", but its header would run to byte ", end,
               ", past the end of that bank (", source_->Size(), " bytes)");
  return {};
}

void BankTemplate::TakeFields(std::uint32_t index, const std::string& namePart,
                              const std::string& file, TbSoundEntry& header,
                              const Reporter& report) const {
  const BankEntry* old = Sound(index);
  if (!old) return;
  header.Unknown = old->Entry.Unknown;
  header.LoopStart = old->Entry.LoopStart;
  header.LoopEnd = old->Entry.LoopEnd;
  if (namePart == ExportNamePart(old->Entry)) header.Name = old->Entry.Name;
  if (const std::string loss = HeaderSizeLoss(*old); loss.empty()) {
    header.HeaderSize = old->Entry.HeaderSize;
  } else {
    header.HeaderSize = TbSoundEntry::kSize;
    report({ReportKind::Warning, Str(file, ": sound ", index, " of ", PathToUtf8(path_), " has ", loss,
                                    "; this sound gets a header of ", TbSoundEntry::kSize,
                                    " bytes\n")});
  }
}

Status BankTemplate::CopyExtraHeader(std::uint32_t index, AtomicFile& out) const {
  const BankEntry* old = Sound(index);
  if (!old || !HeaderSizeLoss(*old).empty()) return Status::Ok();
  const std::uint64_t extra = old->Entry.HeaderSize - TbSoundEntry::kSize;
  return out.CopyFrom(source_->File(), std::uint64_t{old->Offset} + TbSoundEntry::kSize, extra)
      .Prefixed(PathToUtf8(path_) + ": ");
}

}  // namespace Orvane
