#pragma once
// Another program run beside this one, sharing only two pipes with it: what this process
// writes reaches the child's standard input, and what the child writes to its standard output
// reaches Read here. Whatever the child does (crash, hang, exhaust its memory), this process
// sees no more than the pipe falling silent or closing, and how the child ended. One
// implementation per system (ChildProcessPosix.cpp, ChildProcessWindows.cpp).
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "File.h"
#include "Status.h"

namespace Orvane {

struct ChildEnd {
  enum class Way {
    Exited,       // Code is its exit status
    Crashed,      // Code is the signal or the exception that ended it
    OutOfMemory,  // the system killed it for its size
    OutOfTime,    // it used up the processor time its limit gave it
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
  // Starts `program`. The child inherits no file of this process but its standard error: a
  // child gone astray cannot write into a bank. Fails (ChildFailed) when it cannot start.
  static Result<ChildProcess> Start(const std::filesystem::path& program);

  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Kills and reaps a child that is still there.
  ~ChildProcess();

  // Writes all of `bytes` to the child's standard input; Io once it stopped reading.
  Status Send(std::span<const std::uint8_t> bytes);
  // Closes the child's standard input: it reads its end.
  void CloseInput();
  // Fills `out` from the child's standard output, waiting at most `idle` for each piece.
  Result<PipeRead> Read(std::span<std::uint8_t> out, std::chrono::milliseconds idle);
  // Waits at most `limit` for the child to end, then kills it, and reaps it.
  ChildEnd Finish(std::chrono::milliseconds limit);
  // Kills the child and reaps it.
  ChildEnd Kill();

 private:
  ChildProcess(SystemHandle process, SystemHandle input, SystemHandle output)
      : process_(process), input_(input), output_(output) {}
  void Release();

  SystemHandle process_ = kNoHandle;  // kNoHandle once reaped
  SystemHandle input_ = kNoHandle;    // the write end of the child's standard input
  SystemHandle output_ = kNoHandle;   // the read end of its standard output
  SystemHandle job_ = kNoHandle;      // where the system needs one: what ends it with this process
};

// In a program that a ChildProcess started: its pipes to the parent. Taken once, first thing:
// standard output then points at standard error, so that nothing a library prints can reach
// the parent as if it were an answer.
class ParentPipes {
 public:
  static Result<ParentPipes> Take();

  // Reads exactly `out.size()` bytes; Damaged when the parent closed its end first.
  Status Read(std::span<std::uint8_t> out);
  // Writes all of `bytes`; Io once the parent has stopped listening.
  Status Write(std::span<const std::uint8_t> bytes);

 private:
  ParentPipes(SystemHandle input, SystemHandle output) : input_(input), output_(output) {}
  SystemHandle input_;
  SystemHandle output_;
};

// Limits a program sets on itself before it does what might exhaust them. Failing to set one
// is an error: a limit silently absent is worse than a program that refuses to start.
struct ProcessLimits {
  // Address space beyond what the process holds when it sets the limit. Not set under
  // AddressSanitizer, which reserves terabytes of it.
  std::uint64_t ExtraAddressSpace = 0;
  // Seconds of processor time, after which the system ends the process.
  std::uint32_t CpuSeconds = 0;
};
// Also, a crash ends the process at once: no core file, error box or debugger holds it.
Status LimitThisProcess(const ProcessLimits& limits);

// The file of another program of this package: beside the running program (as on Windows and
// in a build folder's program folder), or in ../libexec/orvane/ from it (as installed on
// Linux, and in a build folder). NotFound, naming where it looked, when it is in neither.
Result<std::filesystem::path> HelperProgram(const std::string& name);

}  // namespace Orvane
