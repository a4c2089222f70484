#include <gtest/gtest.h>

#include "PathUtf8.h"
#include "SoundEditor.h"
#include "SoundExport.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
using tf::MakeBank;
using tf::SoundSpec;

class BankLoad : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
    const auto path = dir_ / name;
    tf::WriteFile(path, bytes);
    return path;
  }
  std::vector<std::uint32_t> Offsets() const {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < editor_.Count(); ++i) out.push_back(editor_.Entry(i).Offset);
    return out;
  }

  tf::TempDir dir_;
  CSoundEditor editor_;
};

TEST_F(BankLoad, TwoSoundBankLaidOutAsWeWriteIt) {
  const Bytes bank = MakeBank({{"first", tf::Samples(100)}, {"second", tf::Samples(50, 2)}});
  ASSERT_EQ(bank.size(), 242u);
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", bank)));
  EXPECT_EQ(editor_.Count(), 2u);
  EXPECT_EQ(editor_.FileSize(), 242u);
  EXPECT_EQ(Offsets(), (std::vector<std::uint32_t>{12, 152}));
  EXPECT_EQ(editor_.Entry(0).Entry.HeaderSize, 40u);
  EXPECT_EQ(editor_.Entry(1).Entry.DataSize, 50u);
  EXPECT_EQ(editor_.Entry(1).Entry.NameBytes(), "second");
  auto data = editor_.SampleData(1);
  ASSERT_TRUE(data);
  EXPECT_EQ(Bytes(data->begin(), data->end()), tf::Samples(50, 2));
}

TEST_F(BankLoad, TableSlotsMayBeOutOfOrderGappedOrRepeated) {
  // Table: 3 slots naming headers at 60, 16 and 60; four bytes of gap after the table.
  Bytes bank(16, 0);
  tf::PutU32(bank, 0, 3);
  tf::PutU32(bank, 4, 60);
  tf::PutU32(bank, 8, 16);
  tf::PutU32(bank, 12, 60);
  const Bytes a = tf::MakeHeader({"a", Bytes(4, 0xAA)});
  const Bytes b = tf::MakeHeader({"b", Bytes(4, 0xBB)});
  bank.insert(bank.end(), a.begin(), a.end());
  bank.insert(bank.end(), 4, 0xAA);
  bank.insert(bank.end(), b.begin(), b.end());
  bank.insert(bank.end(), 4, 0xBB);
  ASSERT_TRUE(editor_.LoadBank(Write("odd.sdt", bank)));
  EXPECT_EQ(Offsets(), (std::vector<std::uint32_t>{60, 16, 60}));
  EXPECT_EQ(editor_.Entry(0).Entry, editor_.Entry(2).Entry);
  EXPECT_EQ(editor_.Entry(1).Entry.NameBytes(), "a");
  EXPECT_EQ((*editor_.SampleData(0))[0], 0xBB);
}

TEST_F(BankLoad, LargerHeaderSizeMovesTheSampleData) {
  SoundSpec s{"big", tf::Samples(8)};
  s.HeaderSize = 48;
  Bytes bank = MakeBank({s});
  // Eight bytes of header extension between the 40-byte header and the samples.
  bank.insert(bank.begin() + 8 + 40, 8, 0xEE);
  ASSERT_TRUE(editor_.LoadBank(Write("big.sdt", bank)));
  auto data = editor_.SampleData(0);
  ASSERT_TRUE(data);
  EXPECT_EQ(Bytes(data->begin(), data->end()), tf::Samples(8));
}

TEST_F(BankLoad, NamesEndAtTheFirstZeroOrFillAllSixteenBytes) {
  ASSERT_TRUE(editor_.LoadBank(
      Write("n.sdt", MakeBank({{"ABCDEFGHIJKLMNOP", {}}, {"", {}}, {"abc", {}}}))));
  EXPECT_EQ(editor_.Entry(0).Entry.NameBytes(), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(editor_.Entry(1).Entry.NameBytes(), "");
  EXPECT_EQ(editor_.Entry(2).Entry.NameBytes(), "abc");
}

TEST_F(BankLoad, ASecondBankReplacesTheFirstWhole) {
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", MakeBank({{"a1", {}}, {"a2", {}}, {"a3", {}}}))));
  ASSERT_TRUE(editor_.LoadBank(Write("b.sdt", MakeBank({{"b1", tf::Samples(3)}}))));
  ASSERT_EQ(editor_.Count(), 1u);
  EXPECT_EQ(editor_.Entry(0).Entry.NameBytes(), "b1");
}

TEST_F(BankLoad, ACountOfZeroEmptiesTheEditor) {
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", MakeBank({{"a", {}}}))));
  const auto zero = Write("zero.sdt", Bytes(4, 0));
  const Status s = editor_.LoadBank(zero);
  EXPECT_EQ(s.kind(), ErrorKind::NoSounds);
  EXPECT_EQ(s.where(), Where{PathToUtf8(zero)});
  EXPECT_EQ(editor_.Count(), 0u);
  EXPECT_TRUE(editor_.FileBytes().empty());
  EXPECT_EQ(editor_.FileSize(), 0u);
}

// Anything that cannot be read as a bank is refused with a reason and the loaded bank stays.
TEST_F(BankLoad, RefusedFilesKeepTheBankLoadedBefore) {
  const Bytes a = MakeBank({{"keep", tf::Samples(20)}});
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", a)));
  Bytes hugeCount(8, 0);
  tf::PutU32(hugeCount, 0, 0xFFFFFFFF);
  const struct {
    std::filesystem::path path;
    ErrorKind kind;
  } cases[] = {
      {dir_.Path() / "missing.sdt", ErrorKind::NotFound},
      {Write("short.sdt", Bytes{1, 0, 0}), ErrorKind::NotABank},
      {Write("count.sdt", hugeCount), ErrorKind::NotABank},
      {dir_.Path(), ErrorKind::Io},  // a folder
  };
  for (const auto& c : cases) {
    const Status s = editor_.LoadBank(c.path);
    EXPECT_EQ(s.kind(), c.kind) << c.path;
    EXPECT_EQ(s.where(), Where{PathToUtf8(c.path)}) << c.path;
    EXPECT_NE(s.message().find(PathToUtf8(c.path)), std::string::npos) << s.message();
    ASSERT_EQ(editor_.Count(), 1u);
    EXPECT_EQ(editor_.Entry(0).Entry.NameBytes(), "keep");
    auto data = editor_.SampleData(0);
    ASSERT_TRUE(data);
    EXPECT_EQ(Bytes(data->begin(), data->end()), tf::Samples(20));
  }
}

// Offsets and sizes near 2^32 must not wrap into the buffer: such entries are listed, marked
// damaged, and never read.
TEST_F(BankLoad, EntriesPastTheEndAreListedButRefused) {
  SoundSpec good{"good", tf::Samples(4)};
  SoundSpec wrap{"wrap", tf::Samples(4)};
  wrap.HeaderSize = 0xFFFFFFF0;  // offset + HeaderSize wraps to a small number in 32 bits
  Bytes file(4 + 4 * 5, 0);
  tf::PutU32(file, 0, 5);
  for (const SoundSpec* s : {&good, &wrap, &good}) {
    tf::PutU32(file, 4 + 4 * ((file.size() - 24) / 44), static_cast<std::uint32_t>(file.size()));
    const Bytes h = tf::MakeHeader(*s);
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), s->Data.begin(), s->Data.end());
  }
  tf::PutU32(file, 24 + 88 + 4, 0xFFFFFFFF);  // the third sound's DataSize runs past the end
  tf::PutU32(file, 4 + 4 * 3, 0xFFFFFFF8);    // a header far past the end
  tf::PutU32(file, 4 + 4 * 4, static_cast<std::uint32_t>(file.size() - 4));  // cut off

  const auto path = Write("damaged.sdt", file);
  ASSERT_TRUE(editor_.LoadBank(path));
  ASSERT_EQ(editor_.Count(), 5u);
  EXPECT_FALSE(editor_.Entry(0).Damaged());
  EXPECT_TRUE(editor_.SampleData(0));
  const std::uint32_t headerAt[] = {24, 68, 112, 0xFFFFFFF8, 152};
  for (std::uint32_t i = 1; i < 5; ++i) {
    EXPECT_TRUE(editor_.Entry(i).Damaged()) << i;
    const auto samples = editor_.SampleData(i);
    EXPECT_EQ(samples.kind(), ErrorKind::Damaged) << i;
    EXPECT_EQ(samples.where(), (Where{PathToUtf8(path), i, headerAt[i]})) << i;
    EXPECT_FALSE(SoundImage(editor_, i)) << i;
  }
  EXPECT_NE(editor_.Entry(2).Damage.find("sample data"), std::string::npos);
  EXPECT_NE(editor_.Entry(3).Damage.find("header"), std::string::npos);
  // A header cut off by the end of the file reads its missing bytes as zero.
  EXPECT_EQ(editor_.Entry(4).Entry.DataSize, 0u);
  EXPECT_EQ(editor_.Entry(4).Entry.NameBytes(), "");
  EXPECT_FALSE(editor_.SampleData(5));
}

TEST_F(BankLoad, ClearDropsEverything) {
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", MakeBank({{"a", tf::Samples(4)}}))));
  editor_.Clear();
  editor_.Clear();
  EXPECT_EQ(editor_.Count(), 0u);
  EXPECT_TRUE(editor_.FileBytes().empty());
  EXPECT_FALSE(editor_.SampleData(0));
}

}  // namespace
}  // namespace Orvane
