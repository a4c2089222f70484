#include <memory>
#include <optional>

#include "CliCommon.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "SoundFileName.h"

namespace Orvane::Cli {
namespace {

struct CreateOptions {
  std::filesystem::path Bank;
  std::filesystem::path Input = kOutputFolderName;
  bool Convert = false;
  FormatOptions Format;
  std::optional<std::filesystem::path> Like;
};

int RunCreate(const CreateOptions& options) {
  const Orvane::CreateOptions how{options.Convert, options.Format.Request(), options.Like};
  if (Status created = CSoundEditor::CreateBank(options.Input, options.Bank, how, ReportToTool);
      !created) {
    PrintError(created.kind() == ErrorKind::NeedsConversion && !options.Convert
                   ? created.Suffixed(", or use --convert")
                   : created);
    return 1;
  }
  return 0;
}

}  // namespace

void AddCreateCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<CreateOptions>();
  CLI::App* command = app.add_subcommand(
      "create", "Build a bank from the numbered WAVE files <number>_<name>.wav of a folder");
  AddPath(*command, tool, "BANK", options->Bank, BankHelp("The bank file to write"), ValueKind::Bank)
      ->required();
  AddPath(*command, tool, "-i,--input", options->Input, "Folder holding the WAVE files", ValueKind::Folder);
  CLI::Option* convert = command->add_flag(
      "--convert", options->Convert,
      "Also take FLAC, Ogg, Opus, MP3 and AIFF files, and convert what a bank cannot hold");
  for (CLI::Option* format : AddFormatOptions(*command, options->Format)) format->needs(convert);
  AddPath(*command, tool, "--like", options->Like,
          "The bank the files were exported from: each sound takes back what its file cannot hold "
          "(Unknown, loops, extra header bytes, half-hertz rate, name); with --convert, its format "
          "too",
          ValueKind::Bank)
      ->type_name("OLD");
  command->callback([options, &tool] { tool.ExitCode = RunCreate(*options); });
}

}  // namespace Orvane::Cli
