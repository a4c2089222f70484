#include <memory>

#include "CliCommon.h"
#include "Commands.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane::Cli {
namespace {

int RunCheck(const std::filesystem::path& bank) {
  const auto headers = ReadHeadersOrReport(bank, DamagedEntries::Quiet);
  if (!headers) return 1;
  int exitCode = 0;
  for (std::uint32_t i = 0; i < headers->Count; ++i) {
    if (headers->Entries[i].Damaged()) {
      PrintError(Str(PathToUtf8(bank), ": sound ", i, ": ", headers->Entries[i].Damage));
      exitCode = 1;
    }
  }
  if (exitCode != 0) return exitCode;
  const char* noun = headers->Count == 1 ? " sound" : " sounds";
  return WriteToStdout(Str(PathToUtf8(bank), ": ", headers->Count, noun, ", all inside the file\n"))
             ? 0
             : 1;
}

}  // namespace

void AddCheckCommand(CLI::App& app, Tool& tool) {
  auto bank = std::make_shared<std::filesystem::path>();
  CLI::App* command = app.add_subcommand(
      "check", "Check that every header and every sound's samples lie inside the bank file");
  AddPath(*command, tool, "BANK", *bank, BankHelp(), ValueKind::Bank)->required();
  command->callback([bank, &tool] { tool.ExitCode = RunCheck(*bank); });
}

}  // namespace Orvane::Cli
