#pragma once
// What every subcommand of orvane-cli shares: how failures are printed and how a bank is loaded.
#include <filesystem>
#include <string>

#include "SoundEditor.h"

namespace Orvane::Cli {

// Prints "orvane-cli: <message>" on standard error.
void PrintError(const std::string& message);
// Prints "orvane-cli: warning: <message>" on standard error.
void PrintWarning(const std::string& message);

// Loads `bank` into `editor`; prints the reason and answers false when it cannot be loaded.
// A bank with damaged entries loads, with one warning per damaged entry.
bool LoadBankOrReport(CSoundEditor& editor, const std::filesystem::path& bank);

}  // namespace Orvane::Cli
