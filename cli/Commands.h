#pragma once
// The subcommands of orvane-cli. Each Add*Command registers one subcommand on `app`; its
// callback runs the command and stores the process exit status in `exitCode`
// (0 success, 1 failure).
#include <CLI/CLI.hpp>

namespace Orvane::Cli {

void AddListCommand(CLI::App& app, int& exitCode);
void AddExportCommand(CLI::App& app, int& exitCode);
void AddCreateCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddPlayCommand(CLI::App& app, int& exitCode);
void AddConvertCommand(CLI::App& app, int& exitCode);
void AddLevelsCommand(CLI::App& app, int& exitCode);
void AddDiffCommand(CLI::App& app, int& exitCode);
// replace, set, insert and remove.
void AddEditCommands(CLI::App& app, int& exitCode);

}  // namespace Orvane::Cli
