#include <gtest/gtest.h>

#include "PathUtf8.h"
#include "SoundEditor.h"
#include "SoundExport.h"
#include "TestFiles.h"
#include "Wave.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
namespace fs = std::filesystem;

class Export : public ::testing::Test {
 protected:
  void Load(const std::vector<tf::SoundSpec>& sounds) {
    tf::WriteFile(dir_ / "bank.sdt", tf::MakeBank(sounds));
    ASSERT_TRUE(editor_.LoadBank(dir_ / "bank.sdt"));
  }
  std::vector<std::string> Files(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
      names.push_back(PathToUtf8(fs::relative(e.path(), folder)));
    std::sort(names.begin(), names.end());
    return names;
  }

  tf::TempDir dir_;
  tf::ScopedWorkingDirectory cwd_{dir_.Path()};
  CSoundEditor editor_;
};

TEST_F(Export, WritesHeaderAndSamplesUnderIndexAndName) {
  Load({{"bell", tf::Samples(1000)}, {"", tf::Samples(3)}});
  ASSERT_TRUE(editor_.Export(0, fs::current_path() / "output"));
  const Bytes file = tf::ReadFile(dir_ / "output" / "0_bell.wav");
  ASSERT_EQ(file.size(), 1044u);
  const auto header = WAVE::FromEntry(editor_.Entry(0).Entry).Encode();
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  EXPECT_EQ(Bytes(file.begin() + 44, file.end()), tf::Samples(1000));
  // The file export writes is the image playback plays.
  EXPECT_EQ(file, *SoundImage(editor_, 0));

  ASSERT_TRUE(editor_.Export(1, fs::current_path() / "output"));
  EXPECT_EQ(tf::ReadFile(dir_ / "output" / "1_.wav").size(), 47u);
}

TEST_F(Export, ReplacesAnEarlierFileOfTheSameName) {
  Load({{"a", tf::Samples(10)}});
  fs::create_directory(dir_ / "output");
  tf::WriteFile(dir_ / "output" / "0_a.wav", Bytes(5000, 1));
  ASSERT_TRUE(editor_.Export(0, fs::current_path() / "output"));
  EXPECT_EQ(tf::ReadFile(dir_ / "output" / "0_a.wav").size(), 54u);
}

TEST_F(Export, CreatesAMissingOutputFolderInTheCurrentWorkingDirectory) {
  Load({{"a", tf::Samples(10)}});
  fs::create_directory(dir_ / "elsewhere");
  tf::ScopedWorkingDirectory moved(dir_ / "elsewhere");
  ASSERT_TRUE(editor_.Export(0, fs::current_path() / "output"));
  EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "output" / "0_a.wav"));
}

TEST_F(Export, HostileNamesNeverLeaveTheFolder) {
  Load({{"../../escape", {}}, {"a/b", {}}, {"..", {}}, {"caf\xE9", {}}});
  for (std::uint32_t i = 0; i < editor_.Count(); ++i) ASSERT_TRUE(editor_.Export(i, fs::current_path() / "output")) << i;
#ifdef _WIN32
  const char* dots = "2_._.wav";  // Windows drops a name's trailing dot, so it becomes '_'
#else
  const char* dots = "2_...wav";
#endif
  EXPECT_EQ(Files(dir_ / "output"),
            (std::vector<std::string>{"0_.._.._escape.wav", "1_a_b.wav", dots, "3_caf\xC3\xA9.wav"}));
  EXPECT_EQ(Files(dir_.Path()).size(), 6u);  // bank.sdt, output and its four files
}

TEST_F(Export, RefusesWhatItCannotDoAndSaysWhy) {
  Load({{"a", tf::Samples(10)}});
  Status past = editor_.Export(1, fs::current_path() / "output");
  EXPECT_EQ(past.kind(), ErrorKind::NotFound);
  EXPECT_EQ(past.where(), (Where{PathToUtf8(dir_ / "bank.sdt"), 1, {}}));
  EXPECT_FALSE(fs::exists(dir_ / "output"));

  tf::WriteFile(dir_ / "output", Bytes(1));  // a file where the folder should be
  Status blocked = editor_.Export(0, fs::current_path() / "output");
  EXPECT_EQ(blocked.kind(), ErrorKind::Io);
  EXPECT_EQ(blocked.where(), (Where{PathToUtf8(fs::current_path() / "output" / "0_a.wav"), 0, {}}));

  CSoundEditor empty;
  EXPECT_EQ(empty.Export(0, fs::current_path() / "output").kind(), ErrorKind::NotFound);
}

}  // namespace
}  // namespace Orvane
