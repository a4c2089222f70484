// Replacing sounds' samples from audio files: one sound, or many as one edit, and what many
// would do before they are read.
#include <algorithm>
#include <iomanip>
#include <limits>

#include "CodePage.h"
#include "Parallel.h"
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

}  // namespace

Result<FormatRequest> CSoundEditor::RequestFor(std::uint32_t index, ReplaceFormat format) const {
  if (format == ReplaceFormat::FilesOwn) return FormatRequest{};
  auto own = OwnFormatOf(index, m_Entries[index]);
  if (!own) return own.status().At({path_.string()});
  return own;
}

Result<double> CSoundEditor::LoudnessOf(std::uint32_t index) const {
  // The slot itself, not SamplesOf: that may lay out offsets, and this runs on many threads.
  const SoundSlot& sound = m_Entries[index];
  if (sound.Element.Damaged())
    return Result<double>::Error(ErrorKind::Damaged, Str("it is damaged: ", sound.Element.Damage));
  const SoundSamples job{sound.Samples, SoundFormat::Of(sound.Element.Entry)};
  if (auto known = levels_.Find(job.Samples, job.Format)) return known->LoudnessLufs;
  auto measured = Measure(job);
  if (!measured) return measured.status();
  return measured->LoudnessLufs;
}

Result<SoundsChanged::Exchange> CSoundEditor::PrepareReplacement(
    std::uint32_t index, const std::filesystem::path& file, const ReplaceOptions& options,
    std::uint64_t limit, const Reporter& report) const {
  auto request = RequestFor(index, options.Format);
  if (!request) return request.status();
  const Reporter about = AboutSound(report, index);
  LoudnessTarget loudness;
  if (options.MatchLoudness) {
    auto target = LoudnessOf(index);
    if (target)
      loudness = *target;
    else  // nothing to match: the samples go in as they would without matching
      about({ReportKind::Note, Str(file.string(), ": the loudness of sound ", index,
                                   " cannot be measured (", target.message(),
                                   "); its replacement gets no gain\n")});
  }
  auto samples = BringSamples(file, *request, limit, about, loudness);
  if (!samples) return samples.status().At({{}, index, {}});
  const SoundSlot& sound = m_Entries[index];
  return SoundsChanged::Exchange{index, sound, WithSamples(sound, *samples)};
}

Result<EditOutcome> CSoundEditor::Replace(std::uint32_t index, const std::filesystem::path& file,
                                          const ReplaceOptions& options, const Reporter& report) {
  if (Status there = CheckIndex(index); !there) return there;
  const std::string label = SoundLabel(index, m_Entries[index].Element.Entry);
  auto exchange =
      PrepareReplacement(index, file, options, RoomFor(m_Entries[index].Element.Entry.DataSize), report);
  if (!exchange) return exchange.status();
  std::vector<SoundsChanged::Exchange> exchanges;
  exchanges.push_back(std::move(*exchange));
  return Commit(std::make_unique<SoundsChanged>(Str("Replace sound ", index), std::move(exchanges)),
                Str("Replaced sound ", label, " with ", file.filename().string()));
}

Result<EditOutcome> CSoundEditor::ReplaceMany(std::span<const Replacement> replacements,
                                              const ReplaceOptions& options, const Reporter& report) {
  std::uint64_t replacedBytes = 0;
  for (std::size_t i = 0; i < replacements.size(); ++i) {
    const std::uint32_t index = replacements[i].Index;
    if (Status there = CheckIndex(index); !there) return there;
    for (std::size_t j = 0; j < i; ++j)
      if (replacements[j].Index == index)
        return Result<EditOutcome>::Error(ErrorKind::Refused,
                                          Str("sound ", index, " can be replaced only once"),
                                          {path_.string(), index, {}});
    replacedBytes += m_Entries[index].Element.Entry.DataSize;
  }
  // Each sound is read, compared and converted on a core of its own; their lines wait until all
  // are done, so that they come out in order.
  const std::uint64_t limit = RoomFor(replacedBytes);
  struct Job {
    HeldLines Held;
    std::optional<Result<SoundsChanged::Exchange>> Done;  // nothing: the file holds the sound
  };
  std::vector<Job> jobs(replacements.size());
  ForEachInParallel(replacements.size(), [&](std::size_t i) {
    const Replacement& r = replacements[i];
    Job& job = jobs[i];
    const Reporter held = AboutSound(job.Held.Holder(), r.Index);
    const SoundSlot& sound = m_Entries[r.Index];
    if (!sound.Element.Damaged()) {
      auto checked = CheckSoundFile(r.File, held);
      if (!checked) {
        job.Done = checked.status().Prefixed(r.File.string() + ": ").At({r.File.string(), r.Index, {}});
        return;
      }
      // A file that holds the sound is left alone: it has the sound's loudness already.
      auto holds = HoldsSamples(*checked, SoundFormat::Of(sound.Element.Entry), sound.Samples.Bytes);
      if (!holds || *holds) {
        if (!holds) job.Done = holds.status().Prefixed(r.File.string() + ": ");
        return;
      }
      job.Held.Lines.clear();  // its warnings come again as it is brought in
    }
    job.Done = PrepareReplacement(r.Index, r.File, options, limit, held);
  });

  std::vector<SoundsChanged::Exchange> exchanges;
  std::vector<std::string> details;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    jobs[i].Held.HandTo(report);
    if (!jobs[i].Done) continue;
    if (!*jobs[i].Done) return jobs[i].Done->status();
    const Replacement& r = replacements[i];
    details.push_back(Str("Replaced sound ", SoundLabel(r.Index, m_Entries[r.Index].Element.Entry),
                          " with ", r.File.filename().string()));
    exchanges.push_back(std::move(**jobs[i].Done));
  }
  const std::size_t replaced = exchanges.size();
  const std::string summary = Str("Replaced ", replaced, replaced == 1 ? " sound, " : " sounds, ",
                                  replacements.size() - replaced, " unchanged");
  if (replaced == 0) return EditOutcome{{RowChange::Kind::Changed, {}}, summary};
  std::sort(exchanges.begin(), exchanges.end(),
            [](const auto& a, const auto& b) { return a.Index < b.Index; });
  const std::string name = replaced == 1 ? Str("Replace sound ", exchanges[0].Index)
                                         : Str("Replace ", replaced, " sounds");
  auto outcome = Commit(std::make_unique<SoundsChanged>(name, std::move(exchanges)), summary);
  if (outcome) outcome->Details = std::move(details);
  return outcome;
}

Result<EditOutcome> CSoundEditor::TakeFrom(const CSoundEditor& other,
                                           std::vector<std::uint32_t> indexes,
                                           const std::string& otherName) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  std::vector<SoundsChanged::Exchange> exchanges;
  std::vector<std::string> details;
  for (const std::uint32_t index : indexes) {
    if (Status there = CheckIndex(index); !there) return there;
    if (Status there = other.CheckIndex(index); !there) return there.Prefixed(otherName + ": ");
    const SoundSlot& theirs = other.m_Entries[index];
    if (theirs.Element.Damaged())
      return Result<EditOutcome>::Error(
          ErrorKind::Damaged,
          Str(otherName, ": sound ", index, " is damaged: ", theirs.Element.Damage),
          {other.path_.string(), index, {}});
    details.push_back(Str("Took sound ", SoundLabel(index, theirs.Element.Entry), " from ", otherName));
    exchanges.push_back({index, m_Entries[index], TakenSound(theirs)});
  }
  const std::size_t taken = exchanges.size();
  const std::string summary = Str("Took ", taken, taken == 1 ? " sound" : " sounds", " from ", otherName);
  if (taken == 0) return EditOutcome{{RowChange::Kind::Changed, {}}, summary};
  const std::string name =
      taken == 1 ? Str("Take sound ", exchanges[0].Index) : Str("Take ", taken, " sounds");
  auto outcome = Commit(std::make_unique<SoundsChanged>(name, std::move(exchanges)), summary);
  if (outcome) outcome->Details = std::move(details);
  return outcome;
}

std::vector<ReplacementPreview> CSoundEditor::PreviewReplacements(
    std::span<const Replacement> replacements, const ReplaceOptions& options) const {
  RefreshOffsets();
  std::vector<ReplacementPreview> previews(replacements.size());
  const auto quiet = [](const Report&) {};
  ForEachInParallel(replacements.size(), [&](std::size_t i) {
    ReplacementPreview& preview = previews[i];
    preview.What = replacements[i];
    const std::uint32_t index = replacements[i].Index;
    if (Status there = CheckIndex(index); !there) {
      preview.Problem = there;
      return;
    }
    const SoundSlot& sound = m_Entries[index];
    const TbSoundEntry& header = sound.Element.Entry;
    preview.Name = Cp1252ToUtf8(header.NameBytes());
    if (!sound.Element.Damaged()) preview.NowSeconds = SecondsOf(header);
    const auto fail = [&](const Status& why) {
      preview.Problem = why.Prefixed(replacements[i].File.string() + ": ");
    };
    auto checked = CheckSoundFile(replacements[i].File, quiet);
    if (!checked) return fail(checked.status());
    if (!sound.Element.Damaged()) {
      auto holds = HoldsSamples(*checked, SoundFormat::Of(header), sound.Samples.Bytes);
      if (!holds) return fail(holds.status());
      preview.Unchanged = *holds;
    }
    auto request = RequestFor(index, options.Format);
    if (!request) return fail(request.status());
    auto source = ProbeSound(*checked);
    if (!source) return fail(source.status());
    const SoundFormat target = checked->TargetFor(*request, source->Channels);
    preview.Conversion = checked->CopiesUnchanged(*request) && !options.MatchLoudness
                             ? "copied as it is"
                             : ConversionText(*source, target);
    if (options.MatchLoudness) preview.Conversion += ", its loudness matched";
    if (!source->Frames) return;
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
  });
  return previews;
}

}  // namespace Orvane
