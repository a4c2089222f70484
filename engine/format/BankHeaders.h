#pragma once
// A bank's headers read straight from its file, without its samples, and the one wording of a
// bank that cannot be opened, shared with the full load so that both say the same.
#include <filesystem>

#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

// The count, the table and every header of the bank at `file`, by the rules of a full load;
// reads a number of bytes that follows the number of sounds, not the file's size.
Result<TbSoundBank> ReadBankHeaders(const std::filesystem::path& file);

// `why` as the reason the bank at `file` cannot be opened: "cannot open the bank <file>:
// <reason>", with its kind kept and the file filled into its Where.
Status BankOpenFailure(const std::filesystem::path& file, const Status& why);

}  // namespace Orvane
