// diff: what differs between two banks, sound by sound. Its exit status follows diff and cmp:
// 0 when no sound differs, 1 when some do, 2 on trouble.
#include <future>
#include <iomanip>
#include <memory>

#include "BankDiff.h"
#include "CliCommon.h"
#include "CodePage.h"
#include "Commands.h"
#include "RowFormats.h"
#include "SoundFormat.h"
#include "Text.h"

namespace Orvane::Cli {
namespace {

constexpr int kSame = 0, kDifferent = 1, kTrouble = 2;

struct DiffOptions {
  std::filesystem::path A, B;
  std::string Format = "table";
};

std::string NameOf(const BankEntry& sound) { return Cp1252ToUtf8(sound.Entry.NameBytes()); }

// "0.800 s", or "-" for a header that gives no length.
std::string SecondsText(const BankEntry& sound) {
  const auto seconds = SecondsOf(sound.Entry);
  return seconds ? Str(std::fixed, std::setprecision(3), *seconds, " s") : "-";
}

// For people: each field's old and new value, the lengths where the samples differ.
std::string Details(const BankEntry& a, const BankEntry& b, DiffFields fields) {
  const TbSoundEntry& x = a.Entry;
  const TbSoundEntry& y = b.Entry;
  std::string text;
  const auto add = [&](DiffField field, const std::string& what) {
    if (fields & static_cast<DiffFields>(field)) text += (text.empty() ? "" : "; ") + what;
  };
  const auto change = [](const char* name, const auto& from, const auto& to) {
    return Str(name, ": ", from, " -> ", to);
  };
  add(DiffField::HeaderSize, change("HeaderSize", x.HeaderSize, y.HeaderSize));
  add(DiffField::DataSize, change("DataSize", x.DataSize, y.DataSize));
  add(DiffField::Name, change("Name", NameOf(a), NameOf(b)));
  add(DiffField::SampleRate, change("SampleRate", x.SampleRate, y.SampleRate));
  add(DiffField::BitsPerSample, change("BitsPerSample", +x.BitsPerSample, +y.BitsPerSample));
  add(DiffField::NumChannels, change("NumChannels", +x.NumChannels, +y.NumChannels));
  add(DiffField::Unknown, change("Unknown", x.Unknown, y.Unknown));
  add(DiffField::LoopStart, change("LoopStart", x.LoopStart, y.LoopStart));
  add(DiffField::LoopEnd, change("LoopEnd", x.LoopEnd, y.LoopEnd));
  add(DiffField::ExtraHeader, "the extra header bytes differ");
  add(DiffField::Samples, change("Samples", SecondsText(a), SecondsText(b)));
  add(DiffField::Damaged, a.Damaged() ? (b.Damaged() ? "both are damaged" : "A's is damaged")
                                      : "B's is damaged");
  return text;
}

int RunDiff(const DiffOptions& options) {
  // Both banks' headers are read at once, one on another core: most of the time is the reads.
  auto opening = std::async(std::launch::async, OpenComparedBank, options.B);
  auto a = OpenComparedBank(options.A);
  auto b = opening.get();
  if (!a) return PrintError(a.status()), kTrouble;
  if (!b) return PrintError(b.status()), kTrouble;
  auto diffs = CompareBanks(**a, **b);
  if (!diffs) return PrintError(diffs.status()), kTrouble;

  const ListFormat format = ListFormatNamed(options.Format);
  if (diffs->empty() && format == ListFormat::Table)
    return WriteToStdout("No sound differs\n") ? kSame : kTrouble;
  std::vector<RowCells> rows;
  rows.reserve(diffs->size());
  for (const SoundDiff& d : *diffs) {
    const BankEntry* soundA = d.Index < (*a)->Count() ? &(*a)->Sound(d.Index) : nullptr;
    const BankEntry* soundB = d.Index < (*b)->Count() ? &(*b)->Sound(d.Index) : nullptr;
    const auto name = [](const BankEntry* sound) {
      return sound ? std::optional(NameOf(*sound)) : std::nullopt;
    };
    if (format == ListFormat::Table) {
      const BankEntry& shown = soundB ? *soundB : *soundA;
      rows.push_back({std::to_string(d.Index), ChangeName(d.Change), NameOf(shown),
                      d.Change == SoundChange::Changed ? Details(*soundA, *soundB, d.Fields)
                                                       : SecondsText(shown)});
    } else {
      rows.push_back({std::to_string(d.Index), ChangeName(d.Change), FieldNames(d.Fields),
                      name(soundA), name(soundB)});
    }
  }
  static constexpr RowColumn kTable[] = {
      {"Index"}, {"Change", CellKind::Text}, {"Name", CellKind::Text}, {"What", CellKind::Text}};
  static constexpr RowColumn kData[] = {{"Index"},
                                        {"Change", CellKind::Text},
                                        {"Fields", CellKind::Text},
                                        {"NameA", CellKind::Text},
                                        {"NameB", CellKind::Text}};
  const std::string text = format == ListFormat::Table ? FormatRows(kTable, rows, format)
                                                       : FormatRows(kData, rows, format);
  if (!WriteToStdout(text)) return kTrouble;
  return diffs->empty() ? kSame : kDifferent;
}

}  // namespace

void AddDiffCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* command = app.add_subcommand(
      "diff",
      "Compare two banks sound by sound, by index; exit status 0 when no sound differs, 1 when "
      "some do, 2 on trouble");
  AddPath(*command, tool, "A", options->A, BankHelp("The first bank"), ValueKind::Bank)->required();
  AddPath(*command, tool, "B", options->B, BankHelp("The second bank"), ValueKind::Bank)->required();
  AddListFormatOption(*command, options->Format);
  command->callback([options, &tool] {
    // Any failure is trouble, status 2: the tool's usual 1 would say that the banks differ.
    try {
      tool.ExitCode = RunDiff(*options);
    } catch (const std::exception& e) {
      PrintError(e.what());
      tool.ExitCode = kTrouble;
    }
  });
}

}  // namespace Orvane::Cli
