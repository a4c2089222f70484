#include <memory>

#include "CliCommon.h"
#include "Commands.h"
#include "ListFormats.h"

namespace Orvane::Cli {
namespace {

struct ListOptions {
  std::filesystem::path Bank;
  std::string Format = "table";
};

int RunList(const ListOptions& options) {
  const auto bank = ReadHeadersOrReport(options.Bank);
  if (!bank) return 1;
  const std::string listing = FormatList(bank->Entries, ListFormatNamed(options.Format));
  return WriteToStdout(listing) ? 0 : 1;
}

}  // namespace

void AddListCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* list = app.add_subcommand("list", "List the sounds of a bank with every header field");
  AddPath(*list, tool, "BANK", options->Bank, BankHelp(), ValueKind::Bank)->required();
  AddListFormatOption(*list, options->Format);
  list->callback([options, &tool] { tool.ExitCode = RunList(*options); });
}

}  // namespace Orvane::Cli
