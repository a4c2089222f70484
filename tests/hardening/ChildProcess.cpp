#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

namespace Orvane::Test {
namespace {

constexpr int kSkippedExit = 77;

// _exit: the parent's exit handlers and gtest's end of run are the parent's business.
[[noreturn]] void ExitChild(int code) {
  std::fflush(nullptr);
  ::_exit(code);
}

}  // namespace

ChildOutcome RunInChild(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) {
    ADD_FAILURE() << "fork failed";
    return ChildOutcome::Failed;
  }
  if (child == 0) {
    try {
      body();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "exception: " << e.what();
    }
    ExitChild(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return ChildOutcome::Failed;
  switch (WEXITSTATUS(status)) {
    case 0: return ChildOutcome::Passed;
    case kSkippedExit: return ChildOutcome::Skipped;
    default: return ChildOutcome::Failed;
  }
}

void SkipChild(const std::string& why) {
  std::printf("skipped: %s\n", why.c_str());
  ExitChild(::testing::Test::HasFailure() ? 1 : kSkippedExit);
}

bool MountPrivateTmpfs(const std::filesystem::path& dir, const std::string& options,
                       bool readOnly) {
  if (::unshare(CLONE_NEWNS) != 0) return false;
  // Mounts made from now on stay in this process's table and never reach the system's.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  return ::mount("tmpfs", dir.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
}

}  // namespace Orvane::Test
