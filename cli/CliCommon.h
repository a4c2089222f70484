#pragma once
// What every subcommand of orvane-cli shares: how failures are printed and how a bank is loaded
// or only its headers read.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "SoundEditor.h"
#include "TbSoundBank.h"

namespace Orvane::Cli {

// "The bank file (.sdt)": the help of a BANK argument.
std::string BankHelp(const char* what = "The bank file");

// Prints "orvane-cli: <message>" on standard error.
void PrintError(const std::string& message);
// Prints `failure` so: its reason and the parts of its where the reason does not name.
void PrintError(const Status& failure);
// Prints "orvane-cli: warning: <message>" on standard error.
void PrintWarning(const std::string& message);

// The engine's lines for the tool: progress on standard output unchanged, notes on standard
// error unchanged, warnings with the tool's prefix like its errors.
void ReportToTool(const Report& report);

// Writes `text` to standard output and flushes it; prints the reason and answers false when
// it cannot be written (a full disk, a closed pipe).
bool WriteToStdout(std::string_view text);

enum class DamagedEntries { Warn, Quiet };

// Prints one warning naming sound `index` of `bank` when `element` is damaged.
void WarnIfDamaged(const std::filesystem::path& bank, std::uint32_t index,
                   const BankEntry& element);

// Loads `bank` into `editor`; prints the reason and answers false when it cannot be loaded.
// A bank with damaged entries loads, with one warning per damaged entry unless the command
// reports them in its own way.
bool LoadBankOrReport(CSoundEditor& editor, const std::filesystem::path& bank,
                      DamagedEntries damaged = DamagedEntries::Warn);

// The sounds a command names, or every sound of the loaded bank when it names none.
std::vector<std::uint32_t> SoundsOrAll(std::vector<std::uint32_t> indexes, const CSoundEditor& editor);

// The headers of `bank` without its samples, refused and warned of as LoadBankOrReport does;
// nothing when it cannot be read, after printing the reason.
std::optional<TbSoundBank> ReadHeadersOrReport(const std::filesystem::path& bank,
                                               DamagedEntries damaged = DamagedEntries::Warn);

}  // namespace Orvane::Cli
