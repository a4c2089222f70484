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
  CSoundEditor editor;
  // Play reports the one entry it is asked for when that is damaged; the others do not matter.
  if (!LoadBankOrReport(editor, options.Bank, DamagedEntries::Quiet)) return 1;
  // A sound the output refuses rings the terminal's bell instead, as the system's default
  // sound would.
  SetDefaultSound([] { std::cerr << '\a' << std::flush; });
  if (Status played = editor.Play(options.Index); !played) {
    PrintError(played.message());
    return 1;
  }
  WaitForSoundEnd();
  ShutDownSoundOutput();  // the device plays out its last buffer before the process ends
  return 0;
}

}  // namespace

void AddPlayCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<PlayOptions>();
  CLI::App* command =
      app.add_subcommand("play", "Play one sound of a bank and wait until it has ended");
  command->add_option("BANK", options->Bank, BankHelp())->required();
  command->add_option("INDEX", options->Index, "The sound to play, from 0")->required();
  command->callback([options, &exitCode] { exitCode = RunPlay(*options); });
}

}  // namespace Orvane::Cli
