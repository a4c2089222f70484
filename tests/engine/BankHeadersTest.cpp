// Reading only the headers of a bank: what the full load finds, for a cost in sounds.
#include <gtest/gtest.h>

#include <optional>

#include "BankHeaders.h"
#include "BankParser.h"
#include "ByteSource.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;

// A bank in memory that counts the bytes read from it, and fails every read when told to.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(const Bytes& bytes) : memory_(bytes) {}
  std::uint64_t Size() const override { return memory_.Size(); }
  Status ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    BytesRead += out.size();
    if (Failing) return Status::Error(ErrorKind::Io, "told to fail");
    return memory_.ReadAt(offset, out);
  }
  std::uint64_t BytesRead = 0;
  bool Failing = false;

 private:
  MemorySource memory_;
};

// Slots out of order and two naming one header; a gap wider than one read reaches; sound c's
// samples run past the end; one header lies far past the end and one is cut off by it.
TEST(BankHeaders, AgreeWithTheFullLoadOnAnAwkwardBank) {
  Bytes bank(28, 0);
  const auto append = [&](const Bytes& part) { bank.insert(bank.end(), part.begin(), part.end()); };
  append(tf::MakeHeader({"a", tf::Samples(4)}));
  append(tf::Samples(4));
  bank.resize(bank.size() + 10000);
  append(tf::MakeHeader({"b", tf::Samples(8)}));
  append(tf::Samples(8));
  append(tf::MakeHeader({"c", tf::Samples(1000)}));
  append(tf::Samples(4));
  const Bytes d = tf::MakeHeader({"d", {}});
  bank.insert(bank.end(), d.begin(), d.begin() + 20);
  const std::uint32_t slots[] = {10120, 28, 10072, 28, 0xFFFFFFF8, 10164};
  tf::PutU32(bank, 0, 6);
  for (std::size_t i = 0; i < 6; ++i) tf::PutU32(bank, 4 + 4 * i, slots[i]);
  tf::TempDir dir;
  tf::WriteFile(dir / "awkward.sdt", bank);

  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "awkward.sdt"));
  const auto fromFile = ReadBankHeaders(dir / "awkward.sdt");
  ASSERT_TRUE(fromFile);
  ASSERT_EQ(fromFile->Count, 6u);
  for (std::uint32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(fromFile->Entries[i], editor.Entry(i)) << i;
    EXPECT_EQ(editor.Entry(i).Damaged(), i == 0 || i == 4 || i == 5) << i;
  }
  EXPECT_EQ(editor.Entry(3).Entry.NameBytes(), "a");
  EXPECT_EQ(editor.Entry(5).Entry.NameBytes(), "d");  // the bytes that are there still count
}

TEST(BankHeaders, ReadOnlyTheCountTheTableAndTheHeaders) {
  const Bytes bank = tf::MakeBank({{"a", tf::Samples(100000)}, {"b", tf::Samples(100000)}});
  CountingSource source(bank);
  ASSERT_TRUE(ParseBank(source));
  EXPECT_EQ(source.BytesRead, 4u + 8u + 2 * 40u);

  // A count of four billion in an 8-byte file: refused on the count alone, nothing allocated.
  Bytes hugeCount(8, 0);
  tf::PutU32(hugeCount, 0, 0xFFFFFFFF);
  CountingSource huge(hugeCount);
  EXPECT_EQ(ParseBank(huge).kind(), ErrorKind::NotABank);
  EXPECT_EQ(huge.BytesRead, 4u);

  CountingSource failing(bank);
  failing.Failing = true;
  EXPECT_EQ(ParseBank(failing).kind(), ErrorKind::Io);
}

// The header reads and the full load refuse a bank in the same words and with the same kind.
TEST(BankHeaders, RefuseWhatTheFullLoadRefusesInTheSameWords) {
  tf::TempDir dir;
  tf::WriteFile(dir / "short.sdt", {1, 0, 0});
  tf::WriteFile(dir / "zero.sdt", {0, 0, 0, 0});
  tf::WriteFile(dir / "huge.sdt", {0xFF, 0xFF, 0xFF, 0xFF, 12, 0, 0, 0});
  tf::WriteFile(dir / "4gib.sdt", {1, 0, 0, 0});
  std::filesystem::resize_file(dir / "4gib.sdt", std::uint64_t{1} << 32);  // sparse
  const std::pair<const char*, std::optional<ErrorKind>> cases[] = {
      {"short.sdt", ErrorKind::NotABank}, {"zero.sdt", ErrorKind::NoSounds},
      {"huge.sdt", ErrorKind::NotABank},  {"4gib.sdt", ErrorKind::TooLarge},
      {"missing.sdt", std::nullopt},
  };
  for (const auto& [name, kind] : cases) {
    CSoundEditor editor;
    const Status loaded = editor.LoadBank(dir / name);
    const auto headers = ReadBankHeaders(dir / name);
    ASSERT_FALSE(loaded || headers) << name;
    if (kind) {
      EXPECT_EQ(headers.kind(), *kind) << name;
    }
    EXPECT_EQ(headers.kind(), loaded.kind()) << name;
    EXPECT_EQ(headers.message(), loaded.message());
    EXPECT_EQ(headers.message().rfind("cannot open the bank " + PathToUtf8(dir / name) + ": ", 0), 0u);
    EXPECT_EQ(headers.where().File, PathToUtf8(dir / name));
  }
}

}  // namespace
}  // namespace Orvane
