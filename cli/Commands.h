#pragma once
// The subcommands of orvane-cli. Each Add*Command registers one subcommand on `app`; its
// callback runs the command and stores the process exit status in `tool` (Arguments.h).
#include <CLI/CLI.hpp>

#include "Arguments.h"

namespace Orvane::Cli {

void AddListCommand(CLI::App& app, Tool& tool);
void AddExportCommand(CLI::App& app, Tool& tool);
void AddCreateCommand(CLI::App& app, Tool& tool);
void AddCheckCommand(CLI::App& app, Tool& tool);
void AddPlayCommand(CLI::App& app, Tool& tool);
void AddConvertCommand(CLI::App& app, Tool& tool);
void AddLevelsCommand(CLI::App& app, Tool& tool);
void AddDiffCommand(CLI::App& app, Tool& tool);
// replace, set, insert and remove.
void AddEditCommands(CLI::App& app, Tool& tool);

}  // namespace Orvane::Cli
