// What only Windows asks of files: UTF-16 names with letters beyond ASCII, names its file
// system refuses, and a bank another program holds open.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <system_error>

#include "PathUtf8.h"
#include "RunProgram.h"
#include "SoundEditor.h"
#include "SoundFileName.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(PathToUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

// C:\Users\Jürgen\Bänke, made for the test and removed after it.
class JuergensBanks {
 public:
  JuergensBanks() { fs::create_directories(folder_); }
  ~JuergensBanks() {
    std::error_code ignored;
    fs::remove_all(folder_.parent_path(), ignored);
  }
  const fs::path& Folder() const { return folder_; }

 private:
  fs::path folder_ = Utf8ToPath("C:\\Users\\J\xC3\xBCrgen\\B\xC3\xA4nke");
};

TEST(WindowsFiles, ABankAndItsOutputFolderUnderANameBeyondAscii) {
  const JuergensBanks banks;
  const fs::path bank = banks.Folder() / Utf8ToPath("Kl\xC3\xA4nge.sdt");
  WriteFile(bank, MakeBank({{.Name = "Gr\xFC\xDF" "e", .Data = Samples(40)}, {.Name = "bell", .Data = Samples(8)}}));
  const ScopedWorkingDirectory inFolder(banks.Folder());
  EXPECT_EQ(GetCurrentDir(), PathToUtf8(banks.Folder()) + "\\");
  const fs::path output = OutputFolderIn(GetCurrentDir());
  EXPECT_EQ(output, banks.Folder() / "output");

  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(bank));
  for (std::uint32_t i = 0; i < editor.Count(); ++i) ASSERT_TRUE(editor.Export(i, output));
  EXPECT_EQ(FileNames(output), (std::vector<std::string>{"0_Gr\xC3\xBC\xC3\x9F" "e.wav", "1_bell.wav"}));
  ASSERT_TRUE(editor.Remove({1}));
  ASSERT_TRUE(editor.Save(bank));

  // The tool takes its arguments and prints its names in UTF-8, whatever the code page.
  const ProgramRun created = RunCli({"create", "Neu.sdt"}, banks.Folder());
  ASSERT_EQ(created.ExitCode, 0) << created.Err;
  const ProgramRun listed = RunCli({"list", PathToUtf8(bank)}, banks.Folder());
  ASSERT_EQ(listed.ExitCode, 0) << listed.Err;
  EXPECT_NE(listed.Out.find("Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos) << listed.Out;
  EXPECT_EQ(listed.Out.find("bell"), std::string::npos) << listed.Out;
  CSoundEditor made;
  ASSERT_TRUE(made.LoadBank(banks.Folder() / "Neu.sdt"));
  EXPECT_EQ(made.Count(), 2u);
}

TEST(WindowsFiles, SoundsNamedLikeDevicesOrWithRefusedCharactersExport) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank({{.Name = "CON", .Data = Samples(4)},
                                        {.Name = "a:b", .Data = Samples(4)},
                                        {.Name = "lpt1", .Data = Samples(4)},
                                        {.Name = "end. ", .Data = Samples(4)}}));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
  for (std::uint32_t i = 0; i < editor.Count(); ++i) ASSERT_TRUE(editor.Export(i, dir / "output")) << i;
  EXPECT_EQ(FileNames(dir / "output"),
            (std::vector<std::string>{"0_CON_.wav", "1_a_b.wav", "2_lpt1_.wav", "3_end._.wav"}));
  EXPECT_EQ(ReadFile(dir / "output" / "1_a_b.wav").size(), 44u + 4u);
}

TEST(WindowsFiles, SavingOverABankAnotherProgramHoldsOpenFailsAndLosesNothing) {
  TempDir dir;
  const fs::path bank = dir / "bank.sdt";
  const Bytes before = MakeBank({{.Name = "a", .Data = Samples(8)}, {.Name = "b", .Data = Samples(8)}});
  WriteFile(bank, before);
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(bank));
  ASSERT_TRUE(editor.Remove({0}));
  {
    std::ifstream held(bank);
    const Status saved = editor.Save(bank);
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.message().find("another program has it open"), std::string::npos) << saved.message();
    EXPECT_EQ(saved.where().File, PathToUtf8(bank));
  }
  EXPECT_EQ(ReadFile(bank), before);
  EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"bank.sdt"});
  EXPECT_TRUE(editor.IsModified());
  ASSERT_TRUE(editor.Save(bank));
  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(bank));
  EXPECT_EQ(saved.Count(), 1u);
}

}  // namespace
}  // namespace Orvane::Test
