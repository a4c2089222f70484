// levels: every sound's length, sample peak and loudness, measured on every core.
#include <iomanip>
#include <memory>
#include <vector>

#include "CliCommon.h"
#include "CodePage.h"
#include "Commands.h"
#include "EntryCells.h"
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

// Every sound that can be measured is; one that cannot (not in the bank, damaged) is named with
// its reason and makes the exit status 1.
int RunLevels(LevelsOptions options) {
  CSoundEditor editor;
  if (!LoadBankOrReport(editor, options.Bank, DamagedEntries::Quiet)) return 1;
  const std::vector<std::uint32_t> indexes = SoundsOrAll(std::move(options.Indexes), editor);
  // Jobs are taken here, where the bank is; only measuring runs on the other cores.
  std::vector<Result<SoundSamples>> jobs;
  for (const std::uint32_t index : indexes) jobs.push_back(editor.SamplesOf(index));
  std::vector<std::optional<Result<Audio::Levels>>> levels(jobs.size());
  // A job that could not even run (no memory for it) leaves its levels unset.
  const Status ran = ForEachInParallel(jobs.size(), [&](std::size_t i) {
    if (jobs[i]) levels[i] = MeasureLevels(*jobs[i]);
    return Status::Ok();
  });

  int exitCode = 0;
  std::vector<RowCells> rows;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    const Status measured = !jobs[i] ? jobs[i].status() : levels[i] ? levels[i]->status() : ran;
    if (!measured) {
      PrintError(measured);
      exitCode = 1;
    }
    if (indexes[i] >= editor.Count()) continue;  // no row for a sound the bank does not have
    const TbSoundEntry& entry = editor.Entry(indexes[i]).Entry;
    RowCells& row = rows.emplace_back(RowCells{std::to_string(indexes[i]),
                                               Cp1252ToUtf8(entry.NameBytes()), {}, {}, {}});
    if (!measured) continue;
    if (const auto seconds = SecondsOf(entry)) row[2] = Str(std::fixed, std::setprecision(3), *seconds);
    row[3] = LevelText((*levels[i])->PeakDbfs);
    row[4] = LevelText((*levels[i])->LoudnessLufs);
  }
  if (!WriteToStdout(FormatRows(kColumns, rows, ListFormatNamed(options.Format)))) return 1;
  return exitCode;
}

}  // namespace

void AddLevelsCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<LevelsOptions>();
  CLI::App* command = app.add_subcommand(
      "levels", "List each sound's length, sample peak (dBFS) and loudness (LUFS)");
  AddPath(*command, tool, "BANK", options->Bank, BankHelp(), ValueKind::Bank)->required();
  command->add_option("INDEX", options->Indexes, "Sounds to measure (default: all of them)");
  AddListFormatOption(*command, options->Format);
  command->callback([options, &tool] { tool.ExitCode = RunLevels(*options); });
}

}  // namespace Orvane::Cli
