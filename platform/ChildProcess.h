#pragma once
// Runs a function in a child process that shares only a pipe with this one. Whatever the
// function does (crash, hang, exhaust its memory), this process sees no more than the pipe
// falling silent or closing, and how the child ended.
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "Status.h"

namespace Orvane {

// The child's end of the pipe.
class ChildPipe {
 public:
  // Writes all of `bytes`; ErrorKind::Io once the parent has stopped listening.
  Status Write(std::span<const std::uint8_t> bytes);

 private:
  friend class ChildProcess;
  explicit ChildPipe(int fd) : fd_(fd) {}
  int fd_;
};

struct ChildEnd {
  enum class Way {
    Exited,       // Code is its exit status
    Signalled,    // Code is the signal's number
    OutOfMemory,  // its allocations failed, or the system killed it for its size
    Unknown,      // the system did not say
  };
  Way How = Way::Unknown;
  int Code = 0;
  bool KilledHere = false;  // this process ended it
};

// What a read from the child's pipe found.
enum class PipeRead {
  Filled,  // all the bytes asked for
  Closed,  // the child closed its end first: it has ended or is ending
  Idle,    // nothing came for the idle limit
};

class ChildProcess {
 public:
  // Runs in the child; its answer is the child's exit status.
  using Body = std::function<int(ChildPipe& pipe)>;

  // Starts a child that runs `body` and exits with its answer, without returning into this
  // process's code or flushing its stdio. The child keeps only the standard streams and the
  // pipe open, writes no core file, dies of the signals of a fault (whatever handlers this
  // process installed), and may take `extraAddressSpace` bytes of address space beyond what
  // this process has now (no limit under AddressSanitizer, which reserves terabytes).
  // A child whose body throws std::bad_alloc ends as Way::OutOfMemory.
  // Refuses where this process ignores SIGCHLD: its children could not be waited for.
  static Result<ChildProcess> Start(const Body& body, std::uint64_t extraAddressSpace);

  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Kills and reaps a child that is still there.
  ~ChildProcess();

  // Fills `out` from the pipe, waiting at most `idle` for each piece.
  Result<PipeRead> Read(std::span<std::uint8_t> out, std::chrono::milliseconds idle);
  // Waits at most `limit` for the child to end, then kills it, and reaps it.
  ChildEnd Finish(std::chrono::milliseconds limit);
  // Kills the child and reaps it.
  ChildEnd Kill();

 private:
  ChildProcess(int pid, int fd) : pid_(pid), fd_(fd) {}
  void Release();
  int pid_ = -1;  // -1 once reaped
  int fd_ = -1;
};

}  // namespace Orvane
