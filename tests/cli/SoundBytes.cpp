#include "SoundBytes.h"

#include <gtest/gtest.h>

#include "BankParser.h"

namespace Orvane::Test {

std::vector<Bytes> SoundBytes(const Bytes& bank) {
  const auto parsed = ParseBank(bank);
  EXPECT_TRUE(parsed) << parsed.message();
  std::vector<Bytes> sounds;
  for (const BankEntry& e : parsed ? parsed->Entries : std::vector<BankEntry>{})
    sounds.emplace_back(bank.begin() + e.Offset,
                        bank.begin() + e.Offset + e.Entry.HeaderSize + e.Entry.DataSize);
  return sounds;
}

}  // namespace Orvane::Test
