// A bank larger than the memory the program may have is refused with the reason, and the bank
// loaded before stays: the window's event loop must never see the allocation fail.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "ChildProcess.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

std::uint64_t AddressSpaceNow() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

TEST(LoadFailure, ABankBeyondTheMemoryLimitIsRefusedAndTheOldOneStays) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
#else
  TempDir dir;
  const Bytes small = MakeBank({{.Name = "kept", .Data = Samples(64)}});
  WriteFile(dir / "small.sdt", small);
  WriteFile(dir / "huge.sdt", small);
  fs::resize_file(dir / "huge.sdt", std::uint64_t{512} << 20);  // sparse: costs no disk

  const ChildOutcome outcome = RunInChild([&] {
    CSoundEditor editor;
    ASSERT_TRUE(editor.LoadBank(dir / "small.sdt"));
    const rlimit limit{AddressSpaceNow() + (std::uint64_t{128} << 20), RLIM_INFINITY};
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &limit), 0);
    const Status loaded = editor.LoadBank(dir / "huge.sdt");
    EXPECT_EQ(loaded.kind(), ErrorKind::TooLarge) << loaded.message();
    EXPECT_EQ(loaded.where(), Where{PathToUtf8(dir / "huge.sdt")});
    EXPECT_NE(loaded.message().find("huge.sdt"), std::string::npos) << loaded.message();
    ASSERT_EQ(editor.Count(), 1u);
    EXPECT_EQ(editor.Entry(0).Entry.NameBytes(), "kept");
  });
  EXPECT_EQ(outcome, ChildOutcome::Passed);
#endif
}

}  // namespace
}  // namespace Orvane::Test
