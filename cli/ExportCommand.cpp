#include <memory>
#include <vector>

#include "CliCommon.h"
#include "Commands.h"
#include "SoundExport.h"
#include "SoundFileName.h"

namespace Orvane::Cli {
namespace {

struct ExportOptions {
  std::filesystem::path Bank;
  std::vector<std::uint32_t> Indexes;
  std::filesystem::path Output = kOutputFolderName;
};

// Every sound that can be exported is, whatever failed before it.
int RunExport(ExportOptions options) {
  CSoundEditor editor;
  if (!LoadBankOrReport(editor, options.Bank, DamagedEntries::Quiet)) return 1;
  int exitCode = 0;
  const std::vector<std::uint32_t> indexes = SoundsOrAll(std::move(options.Indexes), editor);
  for (const Status& exported : ExportSounds(editor, indexes, options.Output)) {
    if (!exported) {
      PrintError(exported);
      exitCode = 1;
    }
  }
  return exitCode;
}

}  // namespace

void AddExportCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand(
      "export", "Write sounds of a bank as WAVE files named <index>_<name>.wav");
  AddPath(*command, tool, "BANK", options->Bank, BankHelp(), ValueKind::Bank)->required();
  command->add_option("INDEX", options->Indexes, "Sounds to export (default: all of them)");
  AddPath(*command, tool, "-o,--output", options->Output, "Folder to write the WAVE files into",
          ValueKind::Folder);
  command->callback([options, &tool] { tool.ExitCode = RunExport(*options); });
}

}  // namespace Orvane::Cli
