// orvane-cli: the bank engine's operations from the command line, for scripts and batch work.
#include <exception>

#include "CliCommon.h"
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
  Orvane::Cli::AddCompletionOption(app);
  app.set_help_flag("-h,--help", "Print this help message and exit");
  app.set_version_flag("--version", Orvane::Str("orvane-cli ", Orvane::kVersion));
  app.failure_message(UsageMessage);
  app.require_subcommand(1);

  int exitCode = 0;
  Orvane::Cli::AddListCommand(app, exitCode);
  Orvane::Cli::AddExportCommand(app, exitCode);
  Orvane::Cli::AddCreateCommand(app, exitCode);
  Orvane::Cli::AddCheckCommand(app, exitCode);
  Orvane::Cli::AddPlayCommand(app, exitCode);
  Orvane::Cli::AddConvertCommand(app, exitCode);
  Orvane::Cli::AddEditCommands(app, exitCode);
  Orvane::Cli::AddLevelsCommand(app, exitCode);
  Orvane::Cli::AddDiffCommand(app, exitCode);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end parsing with "success"; everything else is a usage error.
    return app.exit(e) == 0 ? 0 : kUsageError;
  } catch (const std::exception& e) {
    Orvane::Cli::PrintError(e.what());
    return 1;
  }
  return exitCode;
}
