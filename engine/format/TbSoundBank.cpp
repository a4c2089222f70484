#include "TbSoundBank.h"

#include "Text.h"

namespace Orvane {

std::string BankSizeLimitText() { return Str((kMaxBankFileSize + 1) >> 30, " GiB"); }

Status CheckBankSize(std::uint64_t size, std::string_view subject) {
  if (size <= kMaxBankFileSize) return Status::Ok();
  return Status::Error(ErrorKind::TooLarge, Str(subject, ' ', size, " bytes; a bank must stay below ",
                                                BankSizeLimitText()));
}

}  // namespace Orvane
