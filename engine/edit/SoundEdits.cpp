#include "SoundEdits.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "BankCreator.h"
#include "CodePage.h"
#include "LoadedBank.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane {
namespace {

// A header shorter than 40 bytes shares bytes with its samples; written afresh, it gets all
// 40. Extra header bytes that lie past the end of the file cannot be kept.
void MendHeaderSize(const SoundSlot& sound, TbSoundEntry& header) {
  const std::uint64_t end = std::uint64_t{sound.Origin} + header.HeaderSize;
  if (header.HeaderSize < TbSoundEntry::kSize ||
      (header.HeaderSize > TbSoundEntry::kSize && (!sound.From || end > sound.From->Bytes().size())))
    header.HeaderSize = TbSoundEntry::kSize;
}

}  // namespace

std::string NameRuleText() {
  return Str("at most ", TbSoundEntry::kNameSize, " bytes in Windows-1252");
}

Result<std::string> BankNameOf(std::string_view text) {
  const auto refuse = [&](const std::string& why) {
    return Result<std::string>::Error(ErrorKind::Refused, Str("the name \"", text, "\" ", why));
  };
  auto bytes = Utf8ToCp1252Exactly(text);
  if (!bytes) return refuse(Str("cannot be stored: ", bytes.message()));
  if (bytes->find('\0') != std::string::npos) return refuse("holds a zero byte");
  if (bytes->size() > TbSoundEntry::kNameSize)
    return refuse(Str("is ", bytes->size(), " bytes long in the game's code page; a name holds at most ",
                      TbSoundEntry::kNameSize));
  return bytes;
}

Result<BroughtSamples> BringSamples(const std::filesystem::path& file,
                                    const FormatRequest& request, std::uint64_t limit,
                                    const Reporter& report, LoudnessTarget loudness) {
  const std::string where = PathToUtf8(file) + ": ";
  auto checked = CheckSoundFile(file, report);
  if (!checked) return Result<BroughtSamples>(checked.status().Prefixed(where).At({PathToUtf8(file)}));
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  // Room for what the file declares, taken at once: growing a store of megabytes step by step
  // costs copies and page faults, the more so beside decoders forked from this process. A
  // header that claims too much costs only address space, released below.
  const SizeHint expect = [&](std::uint64_t declared) {
    try {
      bytes->reserve(static_cast<std::size_t>(std::min(declared, limit) / 64 * 65 + 4096));
    } catch (const std::bad_alloc&) {  // then it grows as it goes
    }
  };
  auto imported = ImportSamples(
      *checked, request,
      [&](std::span<const std::uint8_t> more) {
        if (more.size() > limit - bytes->size())
          return Status::Error(ErrorKind::TooLarge,
                               Str("its samples come to more than the ", limit,
                                   " bytes the bank has room for below ", BankSizeLimitText()));
        bytes->insert(bytes->end(), more.begin(), more.end());
        return Status::Ok();
      },
      expect, loudness);
  if (!imported) return Result<BroughtSamples>(imported.status().Prefixed(where).At({PathToUtf8(file)}));
  ReportConversion(report, PathToUtf8(file), *imported);
  // Room much beyond the samples (a header that claimed more than the file held) goes back.
  if (bytes->capacity() - bytes->size() > std::max<std::size_t>(bytes->size() / 8, 1 << 16))
    bytes->shrink_to_fit();
  const std::span<const std::uint8_t> view(bytes->data(), bytes->size());
  return BroughtSamples{imported->Format, {std::move(bytes), view}, std::move(*imported)};
}

Result<FormatRequest> OwnFormatOf(std::uint32_t index, const SoundSlot& sound) {
  const SoundFormat own = SoundFormat::Of(sound.Element.Entry);
  const bool usable = StoredRateOfHz(own.RateHz()).ok() && own.NumChannels > 0 &&
                      Audio::IsPcmDepth(own.BitsPerSample);
  if (!usable)
    return Result<FormatRequest>::Error(
        ErrorKind::Refused,
        Str("sound ", index, "'s header gives no format a file can be converted to (",
            RateText(own.RateHz()), ' ', +own.BitsPerSample, "-bit, ", ChannelsText(own.NumChannels),
            "); replace it keeping the file's own format"),
        {{}, index, {}});
  return FormatRequest::Exactly(own);
}

SoundSlot WithSamples(const SoundSlot& sound, const BroughtSamples& samples) {
  SoundSlot changed = sound;
  TbSoundEntry& h = changed.Element.Entry;
  samples.Format.ApplyTo(h);
  h.DataSize = static_cast<std::uint32_t>(samples.Samples.Bytes.size());
  MendHeaderSize(sound, h);
  changed.Element.Damage.clear();
  changed.Samples = samples.Samples;
  return changed;
}

Result<SoundSlot> WithFields(const SoundSlot& sound, const FieldEdit& fields) {
  SoundSlot changed = sound;
  TbSoundEntry& h = changed.Element.Entry;
  if (fields.Name) {
    auto bytes = BankNameOf(*fields.Name);
    if (!bytes) return Result<SoundSlot>(bytes.status());
    // The same name keeps whatever its field holds after the terminator.
    if (*bytes != h.NameBytes()) h.SetName(*bytes);
  }
  h.Unknown = fields.Unknown.value_or(h.Unknown);
  h.LoopStart = fields.LoopStart.value_or(h.LoopStart);
  h.LoopEnd = fields.LoopEnd.value_or(h.LoopEnd);
  if (!(h == sound.Element.Entry) && h.HeaderSize < TbSoundEntry::kSize) MendHeaderSize(sound, h);
  return changed;
}

SoundSlot TakenSound(const SoundSlot& sound) {
  SoundSlot taken = sound;
  if (taken.Element.Entry.HeaderSize < TbSoundEntry::kSize) MendHeaderSize(sound, taken.Element.Entry);
  return taken;
}

SoundSlot NewSound(const BroughtSamples& samples, std::string_view nameBytes) {
  SoundSlot sound;
  sound.Element.Entry = BankHeaderFor(samples.Format,
                                      static_cast<std::uint32_t>(samples.Samples.Bytes.size()),
                                      nameBytes);
  sound.Samples = samples.Samples;
  return sound;
}

std::string NameFromFile(const std::filesystem::path& file, const Reporter& report) {
  const std::string stem = PathToUtf8(file.stem());
  auto exact = Utf8ToCp1252Exactly(stem);
  std::string bytes = exact ? *exact : Utf8ToCp1252(stem);
  if (!exact)
    report({ReportKind::Warning, Str(PathToUtf8(file), ": the name \"", stem, "\" ", exact.message(),
                                    "; such characters become '?'\n")});
  if (bytes.size() > TbSoundEntry::kNameSize) {
    bytes.resize(TbSoundEntry::kNameSize);
    report({ReportKind::Warning,
           Str(PathToUtf8(file), ": the name \"", stem, "\" is cut to its first ", TbSoundEntry::kNameSize,
               " bytes, \"",
               Cp1252ToUtf8(bytes), "\"\n")});
  }
  return bytes;
}

std::string SoundLabel(std::uint32_t index, const TbSoundEntry& entry) {
  return Str(index, " (", Cp1252ToUtf8(entry.NameBytes()), ")");
}

}  // namespace Orvane
