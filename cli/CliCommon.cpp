#include "CliCommon.h"

#include <numeric>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "BankHeaders.h"
#include "PathUtf8.h"
#include "SoundFileName.h"
#include "Text.h"

namespace Orvane::Cli {

std::string BankHelp(const char* what) { return Str(what, " (", kBankExtension, ")"); }

void PrintError(const std::string& message) { std::cerr << "orvane-cli: " << message << '\n'; }

void PrintError(const Status& failure) { PrintError(Described(failure)); }

void PrintWarning(const std::string& message) {
  std::cerr << "orvane-cli: warning: " << message << '\n';
}

void ReportToTool(const Report& report) {
  if (report.Kind != ReportKind::Warning) return ReportToConsole(report);
  const std::string& line = report.Line;
  PrintWarning(!line.empty() && line.back() == '\n' ? line.substr(0, line.size() - 1) : line);
}

bool WriteToStdout(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) == 0 && written) return true;
  PrintError(Str("cannot write to standard output: ",
                 errno != 0 ? std::strerror(errno) : "write error"));
  return false;
}

void WarnIfDamaged(const std::filesystem::path& bank, std::uint32_t index,
                   const BankEntry& element) {
  if (element.Damaged())
    PrintWarning(Str(PathToUtf8(bank), ": sound ", index, " is damaged: ", element.Damage));
}

bool LoadBankOrReport(CSoundEditor& editor, const std::filesystem::path& bank,
                      DamagedEntries damaged) {
  if (Status loaded = editor.LoadBank(bank); !loaded) {
    PrintError(loaded);
    return false;
  }
  if (damaged == DamagedEntries::Warn)
    for (std::uint32_t i = 0; i < editor.Count(); ++i) WarnIfDamaged(bank, i, editor.Entry(i));
  return true;
}

std::vector<std::uint32_t> SoundsOrAll(std::vector<std::uint32_t> indexes, const CSoundEditor& editor) {
  if (indexes.empty()) {
    indexes.resize(editor.Count());
    std::iota(indexes.begin(), indexes.end(), 0u);
  }
  return indexes;
}

std::optional<TbSoundBank> ReadHeadersOrReport(const std::filesystem::path& bank,
                                               DamagedEntries damaged) {
  auto headers = ReadBankHeaders(bank);
  if (!headers) {
    PrintError(headers.status());
    return std::nullopt;
  }
  if (damaged == DamagedEntries::Warn)
    for (std::uint32_t i = 0; i < headers->Count; ++i)
      WarnIfDamaged(bank, i, headers->Entries[i]);
  return std::move(*headers);
}

}  // namespace Orvane::Cli
