// Starts the real program headless and reads what it prints before its window appears.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "PathUtf8.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

// The program running in a folder of its own, its standard output read through a pipe (with
// standard error) or, when `terminal`, through a pseudo-terminal (without).
class Program {
 public:
  Program(const fs::path& workingDirectory, bool terminal, const std::string& bank = {}) {
    int out = -1;
    if (terminal) {
      pid_ = forkpty(&out, nullptr, nullptr, nullptr);
    } else {
      int fds[2];
      if (pipe(fds) != 0) return;
      pid_ = fork();
      if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
      }
      close(fds[1]);
      out = fds[0];
    }
    if (pid_ == 0) {
      // Only standard output is the console; Qt's own warnings on standard error are not.
      if (terminal) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
      }
      if (chdir(workingDirectory.c_str()) != 0) _exit(127);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      if (bank.empty()) {
        execl(ORVANE_PROGRAM, ORVANE_PROGRAM, static_cast<char*>(nullptr));
      } else {
        execl(ORVANE_PROGRAM, ORVANE_PROGRAM, bank.c_str(), static_cast<char*>(nullptr));
      }
      _exit(127);
    }
    out_ = out;
  }
  ~Program() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // What was printed up to and including `until`, or all that came within ten seconds.
  std::string ReadUntil(const std::string& until) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (text_.find(until) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[256];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) break;
      text_.append(buffer, static_cast<std::size_t>(n));
    }
    const auto end = text_.find(until);
    return end == std::string::npos ? text_ : text_.substr(0, end + until.size());
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string text_;
};

const std::string kBanner = R"(Orvane - 1\.0\.1 @ [A-Z][a-z]{2} [ 1-3]\d \d{4} \d\d:\d\d:\d\d\.)";

TEST(StartUpTest, OnATerminalPrintsBannerThenGreenLineThenTurnsWhite) {
  TempDir dir;
  Program program(dir.Path(), /*terminal=*/true);
  const std::string text = program.ReadUntil("\x1b[97m");
  // The terminal turns each "\n" into "\r\n".
  EXPECT_TRUE(std::regex_match(
      text, std::regex("^" + kBanner + "\r\n\x1b\\[92mHey, check out these teeth!\r\n\x1b\\[97m$")))
      << text;
  EXPECT_TRUE(fs::is_directory(dir / "output")) << "made before the colour turns white";
}

TEST(StartUpTest, IntoAPipePrintsPlainTextAndKeepsAnExistingOutputFolder) {
  TempDir dir;
  fs::create_directory(dir / "output");
  WriteFile(dir / "output" / "0_keep.wav", MakeWave(Samples(8)));
  Program program(dir.Path(), /*terminal=*/false);
  const std::string text = program.ReadUntil("teeth!\n");
  EXPECT_TRUE(
      std::regex_match(text, std::regex("^" + kBanner + "\nHey, check out these teeth!\n$")))
      << text;
  EXPECT_EQ(ReadFile(dir / "output" / "0_keep.wav"), MakeWave(Samples(8)));
}

TEST(StartUpTest, ABankNamedOnTheCommandLineOpensOnceTheWindowIsUp) {
  TempDir dir;
  Program program(dir.Path(), /*terminal=*/false, PathToUtf8(dir / "missing.sdt"));
  const std::string reason = "cannot open the bank " + PathToUtf8(dir / "missing.sdt");
  const std::string text = program.ReadUntil(reason);
  ASSERT_NE(text.find(reason), std::string::npos) << text;
  EXPECT_LT(text.find("teeth!\n"), text.find(reason)) << text;
}

}  // namespace
}  // namespace Orvane::Test
