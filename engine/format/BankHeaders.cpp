#include "BankHeaders.h"

#include "BankParser.h"
#include "ByteSource.h"
#include "PathUtf8.h"

namespace Orvane {

Result<TbSoundBank> ReadBankHeaders(const std::filesystem::path& file) {
  auto source = FileSource::Open(file);
  if (!source) return BankOpenFailure(file, source.status());
  auto bank = ParseBank(*source);
  if (!bank) return BankOpenFailure(file, bank.status());
  return bank;
}

Status BankOpenFailure(const std::filesystem::path& file, const Status& why) {
  return why.Prefixed("cannot open the bank " + PathToUtf8(file) + ": ")
      .At(Where{PathToUtf8(file), {}, {}});
}

}  // namespace Orvane
