// levels: every sound's length, sample peak and loudness, measured on every core.
#include <cmath>
#include <iomanip>
#include <memory>
#include <numeric>
#include <vector>

#include "CliCommon.h"
#include "CodePage.h"
#include "Commands.h"
#include "Parallel.h"
#include "RowFormats.h"
#include "SoundFormat.h"
#include "Text.h"

namespace Orvane::Cli {
namespace {

struct LevelsOptions {
  std::filesystem::path Bank;
  std::vector<std::uint32_t> Indexes;
  std::string Format = "table";
};

constexpr RowColumn kColumns[] = {{"Index"}, {"Name", CellKind::Text}, {"Seconds"},
                                  {"PeakDBFS"}, {"LoudnessLUFS"}};

// One decimal, and "-inf" for silence.
std::string Decibels(double value) {
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  return Str(std::fixed, std::setprecision(1), value);
}

int RunLevels(LevelsOptions options) {
  CSoundEditor editor;
  if (!LoadBankOrReport(editor, options.Bank)) return 1;
  int exitCode = 0;
  if (options.Indexes.empty()) {
    options.Indexes.resize(editor.Count());
    std::iota(options.Indexes.begin(), options.Indexes.end(), 0u);
  }
  std::vector<std::uint32_t> indexes;
  for (const std::uint32_t index : options.Indexes) {
    if (index < editor.Count()) {
      indexes.push_back(index);
    } else {
      PrintError(Str(options.Bank.string(), ": there is no sound ", index, ": the bank has ",
                     editor.Count(), " sounds, numbered 0 to ", editor.Count() - 1));
      exitCode = 1;
    }
  }
  // Jobs are taken here, where the bank is; only measuring runs on the other cores.
  std::vector<Result<SoundSamples>> jobs;
  for (const std::uint32_t index : indexes) jobs.push_back(editor.SamplesOf(index));
  std::vector<std::optional<Result<Audio::Levels>>> levels(jobs.size());
  ForEachInParallel(jobs.size(), [&](std::size_t i) {
    if (jobs[i]) levels[i] = MeasureLevels(*jobs[i]);
  });

  std::vector<RowCells> rows;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const TbSoundEntry& entry = editor.Entry(indexes[i]).Entry;
    RowCells& row = rows.emplace_back(RowCells{std::to_string(indexes[i]),
                                               Cp1252ToUtf8(entry.NameBytes()), {}, {}, {}});
    if (!levels[i]) continue;  // damaged: warned of at the load
    if (!*levels[i]) {
      PrintWarning(Str(options.Bank.string(), ": sound ", indexes[i], ": ", levels[i]->message()));
      continue;
    }
    if (const auto seconds = SecondsOf(entry)) row[2] = Str(std::fixed, std::setprecision(3), *seconds);
    row[3] = Decibels((*levels[i])->PeakDbfs);
    row[4] = Decibels((*levels[i])->LoudnessLufs);
  }
  if (!WriteToStdout(FormatRows(kColumns, rows, ListFormatNamed(options.Format)))) return 1;
  return exitCode;
}

}  // namespace

void AddLevelsCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<LevelsOptions>();
  CLI::App* command = app.add_subcommand(
      "levels", "List each sound's length, sample peak (dBFS) and loudness (LUFS)");
  command->add_option("BANK", options->Bank, BankHelp())->required();
  command->add_option("INDEX", options->Indexes, "Sounds to measure (default: all of them)");
  AddListFormatOption(*command, options->Format);
  command->callback([options, &exitCode] { exitCode = RunLevels(*options); });
}

}  // namespace Orvane::Cli
