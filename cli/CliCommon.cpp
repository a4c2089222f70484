#include "CliCommon.h"

#include <iostream>

#include "Text.h"

namespace Orvane::Cli {

void PrintError(const std::string& message) { std::cerr << "orvane-cli: " << message << '\n'; }

void PrintWarning(const std::string& message) {
  std::cerr << "orvane-cli: warning: " << message << '\n';
}

bool LoadBankOrReport(CSoundEditor& editor, const std::filesystem::path& bank) {
  if (Status loaded = editor.LoadBank(bank); !loaded) {
    PrintError(loaded.message());
    return false;
  }
  for (std::uint32_t i = 0; i < editor.m_Count; ++i)
    if (editor.m_Entries[i].Damaged())
      PrintWarning(Str(bank.string(), ": sound ", i, " is damaged: ", editor.m_Entries[i].Damage));
  return true;
}

}  // namespace Orvane::Cli
