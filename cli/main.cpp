// orvane-cli: the bank engine's operations from the command line, for scripts and batch work.
#include <exception>
#include <string>
#include <vector>

#include "CliCommon.h"
#include "CommandLine.h"
#include "Console.h"
#include "Commands.h"
#include "Completion.h"
#include "ProgramInfo.h"
#include "Text.h"

namespace {

constexpr int kUsageError = 2;

// CLI11's own message, with the tool's prefix like every other error.
std::string UsageMessage(const CLI::App*, const CLI::Error& e) {
  return Orvane::Str("orvane-cli: ", e.what(), "\nRun with --help for more information.\n");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("List, edit, export, convert and pack the sounds of SDT sound banks.", "orvane-cli");
  // The hidden option comes before the shown ones: hidden after them, it would leave a blank line
  // at the end of the options in --help.
  Orvane::Cli::Tool tool;
  Orvane::Cli::AddCompletionOption(app, tool.Kinds);
  app.set_help_flag("-h,--help", "Print this help message and exit");
  app.set_version_flag("--version", Orvane::Str("orvane-cli ", Orvane::kVersion));
  app.failure_message(UsageMessage);
  app.require_subcommand(1);

  Orvane::Cli::AddListCommand(app, tool);
  Orvane::Cli::AddExportCommand(app, tool);
  Orvane::Cli::AddCreateCommand(app, tool);
  Orvane::Cli::AddCheckCommand(app, tool);
  Orvane::Cli::AddPlayCommand(app, tool);
  Orvane::Cli::AddConvertCommand(app, tool);
  Orvane::Cli::AddEditCommands(app, tool);
  Orvane::Cli::AddLevelsCommand(app, tool);
  Orvane::Cli::AddDiffCommand(app, tool);

  Orvane::PrepareConsoleText();
  // The arguments as UTF-8, which every path is made from.
  const std::vector<std::string> arguments = Orvane::Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& e) {
    // --help and --version end parsing with "success"; everything else is a usage error.
    return app.exit(e) == 0 ? 0 : kUsageError;
  } catch (const std::exception& e) {
    Orvane::Cli::PrintError(e.what());
    return 1;
  }
  return tool.ExitCode;
}
