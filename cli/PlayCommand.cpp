#include <iostream>
#include <memory>

#include "CliCommon.h"
#include "Commands.h"
#include "SoundOutput.h"

namespace Orvane::Cli {
namespace {

struct PlayOptions {
  std::filesystem::path Bank;
  std::uint32_t Index = 0;
};

int RunPlay(const PlayOptions& options) {
  // A sound the output refuses rings the terminal's bell instead, as the system's default
  // sound would.
  SoundOutput output({.DefaultSound = [] { std::cerr << '\a' << std::flush; }});
  CSoundEditor editor(&output);
  // Play reports the one entry it is asked for when that is damaged; the others do not matter.
  if (!LoadBankOrReport(editor, options.Bank, DamagedEntries::Quiet)) return 1;
  if (Status played = editor.Play(options.Index); !played) {
    PrintError(played);
    return 1;
  }
  output.WaitForEnd();
  output.ShutDown();  // the device plays out its last buffer before the process ends
  return 0;
}

}  // namespace

void AddPlayCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<PlayOptions>();
  CLI::App* command =
      app.add_subcommand("play", "Play one sound of a bank and wait until it has ended");
  AddPath(*command, tool, "BANK", options->Bank, BankHelp(), ValueKind::Bank)->required();
  command->add_option("INDEX", options->Index, "The sound to play, from 0")->required();
  command->callback([options, &tool] { tool.ExitCode = RunPlay(*options); });
}

}  // namespace Orvane::Cli
