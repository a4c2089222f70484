#include <memory>

#include "CliCommon.h"
#include "Commands.h"

namespace Orvane::Cli {
namespace {

struct CreateOptions {
  std::filesystem::path Bank;
  std::filesystem::path Input = "output";
};

// Progress lines go out unchanged; warnings carry the tool's prefix like its errors.
void ReportToTool(ReportKind kind, const std::string& line) {
  if (kind == ReportKind::Progress) return ReportToConsole(kind, line);
  PrintWarning(!line.empty() && line.back() == '\n' ? line.substr(0, line.size() - 1) : line);
}

int RunCreate(const CreateOptions& options) {
  CSoundEditor editor;
  editor.SetReporter(ReportToTool);
  if (Status created = editor.CreateBankFrom(options.Input, options.Bank); !created) {
    PrintError(created.message());
    return 1;
  }
  return 0;
}

}  // namespace

void AddCreateCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<CreateOptions>();
  CLI::App* command = app.add_subcommand(
      "create", "Build a bank from the numbered WAVE files <number>_<name>.wav of a folder");
  command->add_option("BANK", options->Bank, "The bank file to write (.sdt)")->required();
  command->add_option("-i,--input", options->Input, "Folder holding the WAVE files")
      ->capture_default_str();
  command->callback([options, &exitCode] { exitCode = RunCreate(*options); });
}

}  // namespace Orvane::Cli
