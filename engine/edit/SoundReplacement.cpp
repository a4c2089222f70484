#include "SoundReplacement.h"

#include <algorithm>
#include <iomanip>
#include <optional>

#include "CodePage.h"
#include "Parallel.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "Text.h"

namespace Orvane {
namespace {

// A length this much longer or shorter than the old one is worth a second look.
constexpr double kLengthFactor = 2;

// Report lines kept aside, to be handed on in order once jobs on other threads have ended.
struct HeldLines {
  std::vector<Report> Lines;
  Reporter Holder() {
    return [this](const Report& line) { Lines.push_back(line); };
  }
  void HandTo(const Reporter& report) const {
    for (const Report& line : Lines) report(line);
  }
};

// The format a file for sound `index` is brought to; the file's own format for FilesOwn.
Result<FormatRequest> RequestFor(const CSoundEditor& bank, std::uint32_t index, ReplaceFormat format) {
  if (format == ReplaceFormat::FilesOwn) return FormatRequest{};
  auto own = OwnFormatOf(index, bank.Sound(index));
  if (!own) return own.status().At({PathToUtf8(bank.BankPath())});
  return own;
}

// Sound `index` as it would be once replaced from `file`, brought in under `limit` bytes; runs
// on any thread, changing nothing.
Result<SoundsChanged::Exchange> PrepareReplacement(const CSoundEditor& bank, std::uint32_t index,
                                                   const std::filesystem::path& file,
                                                   const ReplaceOptions& options,
                                                   std::uint64_t limit, const Reporter& report) {
  auto request = RequestFor(bank, index, options.Format);
  if (!request) return request.status();
  const Reporter about = AboutSound(report, index);
  LoudnessTarget loudness;
  if (options.MatchLoudness) {
    auto target = bank.Levels().LoudnessOf(index);
    if (target)
      loudness = *target;
    else  // nothing to match: the samples go in as they would without matching
      about({ReportKind::Note, Str(PathToUtf8(file), ": the loudness of sound ", index,
                                   " cannot be measured (", target.message(),
                                   "); its replacement gets no gain\n")});
  }
  auto samples = BringSamples(file, *request, limit, about, loudness);
  if (!samples) return samples.status().At({{}, index, {}});
  const SoundSlot& sound = bank.Sound(index);
  return SoundsChanged::Exchange{index, sound, WithSamples(sound, *samples)};
}

}  // namespace

Result<EditOutcome> ReplaceSound(CSoundEditor& bank, std::uint32_t index,
                                 const std::filesystem::path& file, const ReplaceOptions& options,
                                 const Reporter& report) {
  if (Status there = bank.CheckIndex(index); !there) return there;
  const TbSoundEntry& header = bank.Sound(index).Element.Entry;
  const std::string label = SoundLabel(index, header);
  auto exchange =
      PrepareReplacement(bank, index, file, options, bank.RoomFor(header.DataSize), report);
  if (!exchange) return exchange.status();
  std::vector<SoundsChanged::Exchange> exchanges;
  exchanges.push_back(std::move(*exchange));
  return bank.Apply(std::make_unique<SoundsChanged>(Str("Replace sound ", index), std::move(exchanges)),
                    Str("Replaced sound ", label, " with ", PathToUtf8(file.filename())));
}

Result<EditOutcome> ReplaceSounds(CSoundEditor& bank, std::span<const Replacement> replacements,
                                  const ReplaceOptions& options, const Reporter& report) {
  std::uint64_t replacedBytes = 0;
  for (std::size_t i = 0; i < replacements.size(); ++i) {
    const std::uint32_t index = replacements[i].Index;
    if (Status there = bank.CheckIndex(index); !there) return there;
    for (std::size_t j = 0; j < i; ++j)
      if (replacements[j].Index == index)
        return Result<EditOutcome>::Error(ErrorKind::Refused,
                                          Str("sound ", index, " can be replaced only once"),
                                          {PathToUtf8(bank.BankPath()), index, {}});
    replacedBytes += bank.Sound(index).Element.Entry.DataSize;
  }
  // Each sound is read, compared and converted on a core of its own; their lines wait until all
  // are done, so that they come out in order.
  const std::uint64_t limit = bank.RoomFor(replacedBytes);
  struct Job {
    HeldLines Held;
    std::optional<Status> Outcome;                // nothing: the job could not run to its end
    std::optional<SoundsChanged::Exchange> Done;  // nothing: the file holds the sound
  };
  std::vector<Job> jobs(replacements.size());
  const auto prepare = [&](std::size_t i) -> Status {
    const Replacement& r = replacements[i];
    Job& job = jobs[i];
    const Reporter held = AboutSound(job.Held.Holder(), r.Index);
    const SoundSlot& sound = bank.Sound(r.Index);
    const std::string where = PathToUtf8(r.File) + ": ";
    if (!sound.Element.Damaged()) {
      auto checked = CheckSoundFile(r.File, held);
      if (!checked) return checked.status().Prefixed(where).At({PathToUtf8(r.File), r.Index, {}});
      // A file that holds the sound is left alone: it has the sound's loudness already.
      auto holds = HoldsSamples(*checked, SoundFormat::Of(sound.Element.Entry), sound.Samples.Bytes);
      if (!holds) return holds.status().Prefixed(where).At({PathToUtf8(r.File), r.Index, {}});
      if (*holds) return Status::Ok();
      job.Held.Lines.clear();  // its warnings come again as it is brought in
    }
    auto exchange = PrepareReplacement(bank, r.Index, r.File, options, limit, held);
    if (!exchange) return exchange.status();
    job.Done = std::move(*exchange);
    return Status::Ok();
  };
  const Status ran = ForEachInParallel(replacements.size(), [&](std::size_t i) {
    return *(jobs[i].Outcome = prepare(i));
  });
  // The lines of every file up to the first that failed, and then its failure.
  std::vector<SoundsChanged::Exchange> exchanges;
  std::vector<std::string> details;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    jobs[i].Held.HandTo(report);
    if (!jobs[i].Outcome) return ran;
    if (!*jobs[i].Outcome) return *jobs[i].Outcome;
    if (!jobs[i].Done) continue;
    const Replacement& r = replacements[i];
    details.push_back(Str("Replaced sound ", SoundLabel(r.Index, bank.Sound(r.Index).Element.Entry),
                          " with ", PathToUtf8(r.File.filename())));
    exchanges.push_back(std::move(*jobs[i].Done));
  }
  const std::size_t replaced = exchanges.size();
  const std::string summary = Str("Replaced ", replaced, replaced == 1 ? " sound, " : " sounds, ",
                                  replacements.size() - replaced, " unchanged");
  if (replaced == 0) return EditOutcome{{RowChange::Kind::Changed, {}}, summary};
  std::sort(exchanges.begin(), exchanges.end(),
            [](const auto& a, const auto& b) { return a.Index < b.Index; });
  const std::string name = replaced == 1 ? Str("Replace sound ", exchanges[0].Index)
                                         : Str("Replace ", replaced, " sounds");
  auto outcome = bank.Apply(std::make_unique<SoundsChanged>(name, std::move(exchanges)), summary);
  if (outcome) outcome->Details = std::move(details);
  return outcome;
}

std::vector<ReplacementPreview> PreviewReplacements(const CSoundEditor& bank,
                                                    std::span<const Replacement> replacements,
                                                    const ReplaceOptions& options) {
  std::vector<ReplacementPreview> previews(replacements.size());
  const auto quiet = [](const Report&) {};
  const auto previewOne = [&](std::size_t i) {
    ReplacementPreview& preview = previews[i];
    preview.What = replacements[i];
    const std::uint32_t index = replacements[i].Index;
    if (Status there = bank.CheckIndex(index); !there) {
      preview.Problem = there;
      return Status::Ok();
    }
    const SoundSlot& sound = bank.Sound(index);
    const TbSoundEntry& header = sound.Element.Entry;
    preview.Name = Cp1252ToUtf8(header.NameBytes());
    if (!sound.Element.Damaged()) preview.NowSeconds = SecondsOf(header);
    const auto fail = [&](const Status& why) {
      preview.Problem = why.Prefixed(PathToUtf8(replacements[i].File) + ": ");
      return Status::Ok();
    };
    auto checked = CheckSoundFile(replacements[i].File, quiet);
    if (!checked) return fail(checked.status());
    if (!sound.Element.Damaged()) {
      auto holds = HoldsSamples(*checked, SoundFormat::Of(header), sound.Samples.Bytes);
      if (!holds) return fail(holds.status());
      preview.Unchanged = *holds;
    }
    auto request = RequestFor(bank, index, options.Format);
    if (!request) return fail(request.status());
    auto source = ProbeSound(*checked);
    if (!source) return fail(source.status());
    const SoundFormat target = checked->TargetFor(*request, source->Channels);
    preview.Conversion = checked->CopiesUnchanged(*request) && !options.MatchLoudness
                             ? "copied as it is"
                             : ConversionText(*source, target);
    if (options.MatchLoudness) preview.Conversion += ", its loudness matched";
    if (!source->Frames) return Status::Ok();
    preview.NewSeconds = static_cast<double>(*source->Frames) / source->RateHz;
    if (preview.NowSeconds && *preview.NowSeconds > 0) {
      const double ratio = *preview.NewSeconds / *preview.NowSeconds;
      if (ratio > kLengthFactor || ratio < 1 / kLengthFactor)
        preview.Warnings.push_back(Str("its length goes from ", std::fixed, std::setprecision(2),
                                       *preview.NowSeconds, " s to ", *preview.NewSeconds, " s"));
    }
    // The game's unit for loop points is not known: past the new size in bytes is past the end
    // in frames too.
    const std::uint64_t newBytes =
        static_cast<std::uint64_t>(*preview.NewSeconds * target.RateHz()) * target.Pcm().BytesPerFrame();
    if (header.LoopEnd > newBytes)
      preview.Warnings.push_back(
          Str("its LoopEnd, ", header.LoopEnd, ", lies past the new end (", newBytes, " bytes)"));
    return Status::Ok();
  };
  std::vector<std::uint8_t> finished(replacements.size(), 0);
  const Status previewed = ForEachInParallel(replacements.size(), [&](std::size_t i) {
    const Status done = previewOne(i);
    finished[i] = 1;
    return done;
  });
  // A preview whose job could not run to its end shows why, rather than half a preview.
  if (!previewed)
    for (std::size_t i = 0; i < previews.size(); ++i)
      if (!finished[i]) previews[i].Problem = previewed;
  return previews;
}

Result<EditOutcome> InsertSound(CSoundEditor& bank, std::uint32_t index,
                                const std::filesystem::path& file, const InsertOptions& options,
                                const Reporter& report) {
  if (!bank.Loaded()) return Result<EditOutcome>::Error(ErrorKind::NotFound, "no bank is loaded");
  if (index > bank.Count())
    return Result<EditOutcome>::Error(
        ErrorKind::NotFound,
        Str("a sound can be inserted at 0 to ", bank.Count(), " (the end), not at ", index),
        {PathToUtf8(bank.BankPath()), index, {}});
  const Reporter about = AboutSound(report, index);
  std::string name;
  if (options.Name) {
    auto bytes = BankNameOf(*options.Name);
    if (!bytes) return Result<EditOutcome>(bytes.status().At({PathToUtf8(bank.BankPath()), index, {}}));
    name = std::move(*bytes);
  } else {
    name = NameFromFile(file, about);
  }
  auto samples = BringSamples(file, options.Format, bank.RoomFor(0), about);
  if (!samples) return Result<EditOutcome>(samples.status());
  SoundSlot sound = NewSound(*samples, name);
  const std::string label = SoundLabel(index, sound.Element.Entry);
  return bank.Apply(std::make_unique<SoundInserted>(Str("Insert sound ", index), index, std::move(sound)),
                    Str("Inserted sound ", label, " from ", PathToUtf8(file.filename())));
}

}  // namespace Orvane
