#include <memory>
#include <vector>

#include "CliCommon.h"
#include "Commands.h"
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
  for (const Status& exported : editor.ExportEach(SoundsOrAll(std::move(options.Indexes), editor),
                                                  options.Output)) {
    if (!exported) {
      PrintError(exported.message());
      exitCode = 1;
    }
  }
  return exitCode;
}

}  // namespace

void AddExportCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand(
      "export", "Write sounds of a bank as WAVE files named <index>_<name>.wav");
  command->add_option("BANK", options->Bank, BankHelp())->required();
  command->add_option("INDEX", options->Indexes, "Sounds to export (default: all of them)");
  command->add_option("-o,--output", options->Output, "Folder to write the WAVE files into")
      ->capture_default_str();
  command->callback([options, &exitCode] { exitCode = RunExport(*options); });
}

}  // namespace Orvane::Cli
