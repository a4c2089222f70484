// Child processes on POSIX systems: posix_spawn with two pipes, poll and waitpid; the child's
// limits with setrlimit.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "Text.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_ADDRESS_SANITIZER 1
#endif
#endif

extern char** environ;

namespace Orvane {
namespace {

// Lets the child decode ahead while the parent is busy; a hint the system may refuse.
constexpr int kPipeBytes = 1 << 20;

int Fd(SystemHandle handle) { return static_cast<int>(handle); }
std::string Reason(int error) { return std::generic_category().message(error); }
std::string LastError() { return Reason(errno); }

void CloseQuietly(SystemHandle& handle) {
  if (handle != kNoHandle) ::close(Fd(handle));
  handle = kNoHandle;
}

ChildEnd Describe(int status, bool killedHere) {
  ChildEnd end;
  end.KilledHere = killedHere;
  if (WIFEXITED(status)) {
    end.How = ChildEnd::Way::Exited;
    end.Code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    end.Code = WTERMSIG(status);
    end.How = ChildEnd::Way::Crashed;
    // A SIGKILL nobody here sent is, on Linux, the system reclaiming memory; SIGXCPU is the
    // processor-time limit running out.
    if (end.Code == SIGKILL && !killedHere) end.How = ChildEnd::Way::OutOfMemory;
    if (end.Code == SIGXCPU) end.How = ChildEnd::Way::OutOfTime;
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

Status WriteAll(int fd, std::span<const std::uint8_t> bytes, const char* whom) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Error(ErrorKind::Io, Str("cannot write to ", whom, ": ", LastError()));
    if (n == 0) return Status::Error(ErrorKind::Io, Str(whom, " accepted no more bytes"));
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return Status::Ok();
}

// The spawn's settings, released however the start ends.
struct SpawnSetup {
  posix_spawn_file_actions_t Actions;
  posix_spawnattr_t Attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&Actions);
    posix_spawnattr_init(&Attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&Actions);
    posix_spawnattr_destroy(&Attributes);
  }
};

#if !defined(ORVANE_ADDRESS_SANITIZER)
// The process's address space in bytes (the first field of statm, in pages); 0 if unknown.
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

Status SetLimit(int resource, rlim_t soft, rlim_t hard, const char* what) {
  rlimit limit{};
  if (::getrlimit(resource, &limit) != 0)
    return Status::Error(ErrorKind::ChildFailed, Str("cannot read its ", what, " limit: ", LastError()));
  if (limit.rlim_max != RLIM_INFINITY) {
    soft = std::min(soft, limit.rlim_max);
    hard = std::min(hard, limit.rlim_max);
  }
  limit.rlim_cur = soft;
  limit.rlim_max = hard;
  if (::setrlimit(resource, &limit) != 0)
    return Status::Error(ErrorKind::ChildFailed, Str("cannot limit its ", what, ": ", LastError()));
  return Status::Ok();
}

// The folder of the running program.
Result<std::filesystem::path> ProgramFolder() {
  std::error_code ec;
  // Linux names the running program's file here.
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec)
    return Status::Error(ErrorKind::NotFound,
                         Str("cannot tell where this program lies: ", ec.message()));
  return self.parent_path();
}

}  // namespace

Result<ChildProcess> ChildProcess::Start(const std::filesystem::path& program) {
  const auto fail = [&](const std::string& why) {
    return Result<ChildProcess>::Error(ErrorKind::ChildFailed,
                                       Str("cannot start ", PathToUtf8(program), ": ", why),
                                       InFile(program));
  };
  if (ChildrenAreReapedBySystem()) return fail("this program ignores SIGCHLD, so it cannot watch a child");
  int input[2], output[2];
  if (::pipe2(input, O_CLOEXEC) != 0) return fail(Str("cannot make a pipe: ", LastError()));
  if (::pipe2(output, O_CLOEXEC) != 0) {
    const std::string why = LastError();
    ::close(input[0]), ::close(input[1]);
    return fail(Str("cannot make a pipe: ", why));
  }
#if defined(F_SETPIPE_SZ)
  ::fcntl(output[1], F_SETPIPE_SZ, kPipeBytes);
#endif
  SpawnSetup setup;
  // The child gets the pipes as its standard input and output, and nothing else of this
  // process's but its standard error: every other descriptor is marked close-on-exec, or
  // closed here where the system can close all of them.
  posix_spawn_file_actions_adddup2(&setup.Actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&setup.Actions, output[1], STDOUT_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&setup.Actions, STDERR_FILENO + 1);
#endif
  // Default signal handling and no blocked signals, whatever this process set for itself.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&setup.Attributes, &none);
  posix_spawnattr_setsigdefault(&setup.Attributes, &all);
  posix_spawnattr_setflags(&setup.Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  const std::string file = program.native();
  std::vector<char*> argv{const_cast<char*>(file.c_str()), nullptr};
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, file.c_str(), &setup.Actions, &setup.Attributes,
                                    argv.data(), environ);
  ::close(input[0]);
  ::close(output[1]);
  if (spawned != 0) {
    ::close(input[1]);
    ::close(output[0]);
    return fail(Reason(spawned));
  }
  return ChildProcess(pid, input[1], output[0]);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, kNoHandle)),
      input_(std::exchange(other.input_, kNoHandle)),
      output_(std::exchange(other.output_, kNoHandle)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = std::exchange(other.process_, kNoHandle);
    input_ = std::exchange(other.input_, kNoHandle);
    output_ = std::exchange(other.output_, kNoHandle);
  }
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
  // Closing first lets a child blocked on a full pipe fail its write.
  CloseQuietly(input_);
  CloseQuietly(output_);
  if (process_ != kNoHandle) Kill();
}

Status ChildProcess::Send(std::span<const std::uint8_t> bytes) {
  // A child that has ended makes the write fail with EPIPE; SIGPIPE would end this process.
  sigset_t pipe, old;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &old);
  Status sent = WriteAll(Fd(input_), bytes, "the child process");
  // A SIGPIPE raised meanwhile is taken here, before the mask is restored.
  timespec now{};
  while (sigtimedwait(&pipe, nullptr, &now) > 0) {
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  return sent;
}

void ChildProcess::CloseInput() { CloseQuietly(input_); }

Result<PipeRead> ChildProcess::Read(std::span<std::uint8_t> out, std::chrono::milliseconds idle) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + idle;
  while (!out.empty()) {
    pollfd wait{Fd(output_), POLLIN, 0};
    const int ready = ::poll(&wait, 1, PollMilliseconds(deadline - Clock::now()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0)
      return Result<PipeRead>::Error(ErrorKind::Io,
                                     Str("cannot wait for the child process: ", LastError()));
    if (ready == 0) return PipeRead::Idle;
    const ssize_t n = ::read(Fd(output_), out.data(), out.size());
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
  while (process_ != kNoHandle) {
    int status = 0;
    const pid_t done = ::waitpid(static_cast<pid_t>(process_), &status, WNOHANG);
    if (done == static_cast<pid_t>(process_)) {
      process_ = kNoHandle;
      return Describe(status, false);
    }
    if (done < 0 && errno != EINTR) {
      process_ = kNoHandle;
      return {};
    }
    if (Clock::now() >= deadline) return Kill();
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
  return {};
}

ChildEnd ChildProcess::Kill() {
  if (process_ == kNoHandle) return {};
  const auto pid = static_cast<pid_t>(std::exchange(process_, kNoHandle));
  ::kill(pid, SIGKILL);
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  return done < 0 ? ChildEnd{.KilledHere = true} : Describe(status, true);
}

Result<ParentPipes> ParentPipes::Take() {
  // The answers go out on a descriptor of their own; standard output becomes standard error.
  const int answers = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
    return Status::Error(ErrorKind::ChildFailed, Str("cannot take the pipe to its parent: ", LastError()));
  // A parent that stops listening makes a write fail, rather than end this process.
  ::signal(SIGPIPE, SIG_IGN);
  return ParentPipes(STDIN_FILENO, answers);
}

Status ParentPipes::Read(std::span<std::uint8_t> out) {
  while (!out.empty()) {
    const ssize_t n = ::read(Fd(input_), out.data(), out.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Error(ErrorKind::Io, Str("cannot read from the parent process: ", LastError()));
    if (n == 0) return Status::Error(ErrorKind::Damaged, "the parent process said less than a whole request");
    out = out.subspan(static_cast<std::size_t>(n));
  }
  return Status::Ok();
}

Status ParentPipes::Write(std::span<const std::uint8_t> bytes) {
  return WriteAll(Fd(output_), bytes, "the parent process");
}

Status LimitThisProcess(const ProcessLimits& limits) {
  if (Status s = SetLimit(RLIMIT_CORE, 0, 0, "core files"); !s) return s;
#if !defined(ORVANE_ADDRESS_SANITIZER)
  const std::uint64_t now = AddressSpaceBytes();
  if (now == 0)
    return Status::Error(ErrorKind::ChildFailed, "cannot tell how much address space it has");
  const std::uint64_t space = now > UINT64_MAX - limits.ExtraAddressSpace
                                  ? UINT64_MAX
                                  : now + limits.ExtraAddressSpace;
  if (Status s = SetLimit(RLIMIT_AS, static_cast<rlim_t>(space), static_cast<rlim_t>(space),
                          "address space");
      !s)
    return s;
#endif
  // SIGXCPU at the soft limit, SIGKILL a second later should it be caught.
  return SetLimit(RLIMIT_CPU, limits.CpuSeconds, rlim_t{limits.CpuSeconds} + 1, "processor time");
}

Result<std::filesystem::path> HelperProgram(const std::string& name) {
  auto folder = ProgramFolder();
  if (!folder) return folder.status();
  const std::filesystem::path candidates[] = {*folder / name,
                                              *folder / ".." / "libexec" / "orvane" / name};
  for (const auto& candidate : candidates)
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.lexically_normal();
  return Status::Error(ErrorKind::NotFound,
                       Str("the program ", name, " is neither in ", PathToUtf8(candidates[0].parent_path()),
                           " nor in ", PathToUtf8(candidates[1].parent_path().lexically_normal())));
}

}  // namespace Orvane
