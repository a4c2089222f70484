#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "ChildProcess.h"
#include "Text.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_ADDRESS_SANITIZER 1
#endif
#endif

// Present when a sanitizer runtime is linked in. Under a fuzzer it runs the fuzzer's crash
// handler, which must not write crash files for a fault the child was started to contain.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace Orvane {
namespace {

// The exit status of a child whose body ran out of memory.
constexpr int kOutOfMemoryStatus = 125;
// Lets the child decode ahead while the parent is busy; a hint the system may refuse.
constexpr int kPipeBytes = 1 << 20;
// Where closing every descriptor one by one stops, on a system without close_range.
constexpr int kMaxDescriptorsToClose = 1 << 16;

std::string LastError() { return std::generic_category().message(errno); }

void CloseAllBut(int keep) {
  auto closeRange = [](int first, int last) {
    if (first > last) return;
    if (::close_range(static_cast<unsigned>(first), static_cast<unsigned>(last), 0) == 0) return;
    for (int fd = first; fd <= std::min(last, kMaxDescriptorsToClose); ++fd) ::close(fd);
  };
  closeRange(STDERR_FILENO + 1, keep - 1);
  closeRange(std::max(keep + 1, STDERR_FILENO + 1), INT_MAX);
}

void RestoreFaultSignals() {
  sigset_t faults;
  sigemptyset(&faults);
  struct sigaction defaults{};
  defaults.sa_handler = SIG_DFL;
  for (const int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGPIPE}) {
    ::sigaction(sig, &defaults, nullptr);
    sigaddset(&faults, sig);
  }
  ::sigprocmask(SIG_UNBLOCK, &faults, nullptr);
  if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(nullptr);
}

#if !defined(ORVANE_ADDRESS_SANITIZER)
// The process's address space in bytes (the first field of statm, in pages); 0 if unknown.
// Read with plain system calls: the child of a threaded process must avoid locks.
std::uint64_t AddressSpaceBytes() {
  const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[64];
  const ssize_t n = ::read(fd, text, sizeof text);
  ::close(fd);
  const auto pageSize = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  std::uint64_t pages = 0;
  for (ssize_t i = 0; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (pages > UINT64_MAX / 10 / pageSize) return 0;
    pages = pages * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  return pages * pageSize;
}
#endif

void LimitResources([[maybe_unused]] std::uint64_t extraAddressSpace) {
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
#if !defined(ORVANE_ADDRESS_SANITIZER)
  const std::uint64_t now = AddressSpaceBytes();
  rlimit space{};
  if (now == 0 || ::getrlimit(RLIMIT_AS, &space) != 0) return;
  std::uint64_t wanted =
      now > UINT64_MAX - extraAddressSpace ? UINT64_MAX : now + extraAddressSpace;
  if (space.rlim_max != RLIM_INFINITY) wanted = std::min<std::uint64_t>(wanted, space.rlim_max);
  space.rlim_cur = static_cast<rlim_t>(wanted);
  ::setrlimit(RLIMIT_AS, &space);
#endif
}

[[noreturn]] void RunChild(const ChildProcess::Body& body, ChildPipe& pipe, int fd,
                           std::uint64_t extraAddressSpace) {
  // Also the parent's other files: a child gone astray must not write into a bank.
  CloseAllBut(fd);
  RestoreFaultSignals();
  LimitResources(extraAddressSpace);
  try {
    ::_exit(body(pipe));
  } catch (const std::bad_alloc&) {
    ::_exit(kOutOfMemoryStatus);
  } catch (...) {
    std::abort();  // unwinding further would run the parent's code
  }
}

ChildEnd Describe(int status, bool killedHere) {
  ChildEnd end;
  end.KilledHere = killedHere;
  if (WIFEXITED(status)) {
    end.Code = WEXITSTATUS(status);
    end.How = end.Code == kOutOfMemoryStatus ? ChildEnd::Way::OutOfMemory : ChildEnd::Way::Exited;
  } else if (WIFSIGNALED(status)) {
    end.Code = WTERMSIG(status);
    // A SIGKILL nobody here sent is, on Linux, the system reclaiming memory.
    const bool reclaimed = end.Code == SIGKILL && !killedHere;
    end.How = reclaimed ? ChildEnd::Way::OutOfMemory : ChildEnd::Way::Signalled;
  }
  return end;
}

int PollMilliseconds(std::chrono::steady_clock::duration left) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, INT_MAX));
}

// Where SIGCHLD is ignored the system reaps children itself, and a child's number could be
// another process's by the time this one kills it.
bool ChildrenAreReapedBySystem() {
  struct sigaction current{};
  ::sigaction(SIGCHLD, nullptr, &current);
  return current.sa_handler == SIG_IGN || (current.sa_flags & SA_NOCLDWAIT) != 0;
}

}  // namespace

Status ChildPipe::Write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      return Status::Error(ErrorKind::Io, Str("cannot write to the parent process: ", LastError()));
    if (n == 0) return Status::Error(ErrorKind::Io, "the parent process accepted no more bytes");
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return Status::Ok();
}

Result<ChildProcess> ChildProcess::Start(const Body& body, std::uint64_t extraAddressSpace) {
  if (ChildrenAreReapedBySystem())
    return Result<ChildProcess>::Error(ErrorKind::Failed,
                                       "this program ignores SIGCHLD, so it cannot watch a child");
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return Result<ChildProcess>::Error(ErrorKind::Io, Str("cannot make a pipe: ", LastError()));
#if defined(F_SETPIPE_SZ)
  ::fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);
#endif
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ChildPipe pipe(fds[1]);
    RunChild(body, pipe, fds[1], extraAddressSpace);
  }
  const int forkError = errno;
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    return Result<ChildProcess>::Error(
        ErrorKind::Failed,
        Str("cannot start a child process: ", std::generic_category().message(forkError)));
  }
  return ChildProcess(pid, fds[0]);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), fd_(std::exchange(other.fd_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    pid_ = std::exchange(other.pid_, -1);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
  // Closing first lets a child blocked on a full pipe fail its write.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (pid_ > 0) Kill();
}

Result<PipeRead> ChildProcess::Read(std::span<std::uint8_t> out, std::chrono::milliseconds idle) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + idle;
  while (!out.empty()) {
    pollfd wait{fd_, POLLIN, 0};
    const int ready = ::poll(&wait, 1, PollMilliseconds(deadline - Clock::now()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0)
      return Result<PipeRead>::Error(ErrorKind::Io,
                                     Str("cannot wait for the child process: ", LastError()));
    if (ready == 0) return PipeRead::Idle;
    const ssize_t n = ::read(fd_, out.data(), out.size());
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0)
      return Result<PipeRead>::Error(ErrorKind::Io,
                                     Str("cannot read from the child process: ", LastError()));
    if (n == 0) return PipeRead::Closed;
    out = out.subspan(static_cast<std::size_t>(n));
    deadline = Clock::now() + idle;
  }
  return PipeRead::Filled;
}

ChildEnd ChildProcess::Finish(std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  // A child that closed its pipe is usually gone within microseconds: look often at first.
  auto pause = std::chrono::microseconds(50);
  while (pid_ > 0) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return Describe(status, false);
    }
    if (done < 0 && errno != EINTR) {
      pid_ = -1;
      return {};
    }
    if (Clock::now() >= deadline) return Kill();
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
  return {};
}

ChildEnd ChildProcess::Kill() {
  if (pid_ <= 0) return {};
  ::kill(pid_, SIGKILL);
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(pid_, &status, 0);
  } while (done < 0 && errno == EINTR);
  pid_ = -1;
  return done < 0 ? ChildEnd{.KilledHere = true} : Describe(status, true);
}

}  // namespace Orvane
