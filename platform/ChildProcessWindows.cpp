// Child processes on Windows: CreateProcessW with a pipe for each standard stream it reads and
// writes, inheriting those handles alone, in a job object that ends it when this process goes;
// the child's own limits in a job object of its own.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "Text.h"

namespace Orvane {
namespace {

// The exit status Windows gives a process its job ended for its processor time.
constexpr DWORD kEndedForTime = ERROR_NOT_ENOUGH_QUOTA;
// Codes of this and above are exceptions (an access violation is 0xC0000005), not statuses.
constexpr DWORD kFirstException = 0xC0000000;
constexpr DWORD kPipeBytes = 1 << 20;

HANDLE Handle(SystemHandle handle) { return reinterpret_cast<HANDLE>(handle); }
SystemHandle Held(HANDLE handle) { return reinterpret_cast<SystemHandle>(handle); }

std::string Reason(DWORD error) { return std::system_category().message(static_cast<int>(error)); }
std::string LastError() { return Reason(GetLastError()); }

void CloseQuietly(SystemHandle& handle) {
  if (handle != kNoHandle) CloseHandle(Handle(handle));
  handle = kNoHandle;
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// The read end of the child's standard output, overlapped so that a read can wait with a
// limit, and the end the child writes.
struct OutputPipe {
  HANDLE Read = INVALID_HANDLE_VALUE;
  HANDLE Write = INVALID_HANDLE_VALUE;
};

Result<OutputPipe> MakeOutputPipe() {
  static std::atomic<unsigned> serial{0};
  const std::wstring name = Wide(Str("\\\\.\\pipe\\orvane-", GetCurrentProcessId(), '-', serial++));
  OutputPipe pipe;
  pipe.Read = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED |
                                                 FILE_FLAG_FIRST_PIPE_INSTANCE,
                               PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                               kPipeBytes, kPipeBytes, 0, nullptr);
  if (pipe.Read == INVALID_HANDLE_VALUE) return Status::Error(ErrorKind::ChildFailed, LastError());
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  pipe.Write = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0, nullptr);
  if (pipe.Write == INVALID_HANDLE_VALUE) {
    const std::string why = LastError();
    CloseHandle(pipe.Read);
    return Status::Error(ErrorKind::ChildFailed, why);
  }
  return pipe;
}

ChildEnd Describe(DWORD code, bool killedHere) {
  ChildEnd end;
  end.KilledHere = killedHere;
  end.Code = static_cast<int>(code);
  if (killedHere)
    end.How = ChildEnd::Way::Crashed;
  else if (code == kEndedForTime)
    end.How = ChildEnd::Way::OutOfTime;
  else if (code >= kFirstException)
    end.How = ChildEnd::Way::Crashed;
  else
    end.How = ChildEnd::Way::Exited;
  return end;
}

Status WriteAll(HANDLE to, std::span<const std::uint8_t> bytes, const char* whom) {
  while (!bytes.empty()) {
    DWORD wrote = 0;
    const auto n = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kPipeBytes));
    if (!WriteFile(to, bytes.data(), n, &wrote, nullptr))
      return Status::Error(ErrorKind::Io, Str("cannot write to ", whom, ": ", LastError()));
    if (wrote == 0) return Status::Error(ErrorKind::Io, Str(whom, " accepted no more bytes"));
    bytes = bytes.subspan(wrote);
  }
  return Status::Ok();
}

// The folder of the running program.
std::filesystem::path ProgramFolder() {
  std::wstring file(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    if (n < file.size()) {
      file.resize(n);
      break;
    }
    file.resize(file.size() * 2);
  }
  return std::filesystem::path(file).parent_path();
}

}  // namespace

Result<ChildProcess> ChildProcess::Start(const std::filesystem::path& program) {
  const auto fail = [&](const std::string& why) {
    return Result<ChildProcess>::Error(ErrorKind::ChildFailed,
                                       Str("cannot start ", PathToUtf8(program), ": ", why),
                                       InFile(program));
  };
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE inputRead = INVALID_HANDLE_VALUE, inputWrite = INVALID_HANDLE_VALUE;
  if (!CreatePipe(&inputRead, &inputWrite, &inherited, 0)) return fail(LastError());
  SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);
  auto output = MakeOutputPipe();
  if (!output) {
    CloseHandle(inputRead), CloseHandle(inputWrite);
    return fail(output.message());
  }
  const auto closeAll = [&] {
    CloseHandle(inputRead), CloseHandle(inputWrite), CloseHandle(output->Read), CloseHandle(output->Write);
  };

  // The child inherits these handles and no other of this process's.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  std::vector<HANDLE> handles{inputRead, output->Write};
  if (error != nullptr && error != INVALID_HANDLE_VALUE &&
      SetHandleInformation(error, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
    handles.push_back(error);
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<std::uint8_t> attributes(size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
  if (!InitializeProcThreadAttributeList(list, 1, 0, &size) ||
      !UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                                 handles.size() * sizeof(HANDLE), nullptr, nullptr)) {
    closeAll();
    return fail(LastError());
  }
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = inputRead;
  startup.StartupInfo.hStdOutput = output->Write;
  startup.StartupInfo.hStdError = handles.size() > 2 ? error : output->Write;
  startup.lpAttributeList = list;

  // Started suspended, so that it is in the job before it runs a single instruction.
  std::wstring commandLine = L"\"" + program.native() + L"\"";
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                                      nullptr, nullptr, &startup.StartupInfo, &process);
  const DWORD startError = GetLastError();
  DeleteProcThreadAttributeList(list);
  CloseHandle(inputRead);
  CloseHandle(output->Write);
  if (!started) {
    CloseHandle(inputWrite), CloseHandle(output->Read);
    return fail(Reason(startError));
  }
  // The job ends the child when its last handle, this process's, closes: with this process.
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job == nullptr ||
      !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !AssignProcessToJobObject(job, process.hProcess)) {
    const std::string why = LastError();
    TerminateProcess(process.hProcess, 1);
    if (job != nullptr) CloseHandle(job);
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    CloseHandle(inputWrite), CloseHandle(output->Read);
    return fail("cannot put it in a job that ends it with this program: " + why);
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  ChildProcess child(Held(process.hProcess), Held(inputWrite), Held(output->Read));
  child.job_ = Held(job);
  return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, kNoHandle)),
      input_(std::exchange(other.input_, kNoHandle)),
      output_(std::exchange(other.output_, kNoHandle)),
      job_(std::exchange(other.job_, kNoHandle)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = std::exchange(other.process_, kNoHandle);
    input_ = std::exchange(other.input_, kNoHandle);
    output_ = std::exchange(other.output_, kNoHandle);
    job_ = std::exchange(other.job_, kNoHandle);
  }
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
  CloseQuietly(input_);
  CloseQuietly(output_);
  if (process_ != kNoHandle) Kill();
  CloseQuietly(job_);
}

Status ChildProcess::Send(std::span<const std::uint8_t> bytes) {
  return WriteAll(Handle(input_), bytes, "the child process");
}

void ChildProcess::CloseInput() { CloseQuietly(input_); }

Result<PipeRead> ChildProcess::Read(std::span<std::uint8_t> out, std::chrono::milliseconds idle) {
  while (!out.empty()) {
    OVERLAPPED read{};
    read.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (read.hEvent == nullptr)
      return Result<PipeRead>::Error(ErrorKind::Io, Str("cannot wait for the child process: ", LastError()));
    DWORD got = 0;
    const auto n = static_cast<DWORD>(std::min<std::size_t>(out.size(), kPipeBytes));
    BOOL done = ReadFile(Handle(output_), out.data(), n, &got, &read);
    DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
      const DWORD waited = WaitForSingleObject(read.hEvent, static_cast<DWORD>(idle.count()));
      if (waited == WAIT_TIMEOUT) {
        CancelIoEx(Handle(output_), &read);
        GetOverlappedResult(Handle(output_), &read, &got, TRUE);
        CloseHandle(read.hEvent);
        if (got == 0) return PipeRead::Idle;
        out = out.subspan(got);
        continue;
      }
      done = GetOverlappedResult(Handle(output_), &read, &got, FALSE);
      error = done ? ERROR_SUCCESS : GetLastError();
    }
    CloseHandle(read.hEvent);
    if (!done && error == ERROR_BROKEN_PIPE) return PipeRead::Closed;
    if (!done)
      return Result<PipeRead>::Error(ErrorKind::Io, Str("cannot read from the child process: ", Reason(error)));
    if (got == 0) return PipeRead::Closed;
    out = out.subspan(got);
  }
  return PipeRead::Filled;
}

ChildEnd ChildProcess::Finish(std::chrono::milliseconds limit) {
  if (process_ == kNoHandle) return {};
  if (WaitForSingleObject(Handle(process_), static_cast<DWORD>(limit.count())) == WAIT_TIMEOUT)
    return Kill();
  DWORD code = 0;
  const BOOL got = GetExitCodeProcess(Handle(process_), &code);
  CloseQuietly(process_);
  return got ? Describe(code, false) : ChildEnd{};
}

ChildEnd ChildProcess::Kill() {
  if (process_ == kNoHandle) return {};
  TerminateProcess(Handle(process_), 1);
  WaitForSingleObject(Handle(process_), INFINITE);
  DWORD code = 0;
  const BOOL got = GetExitCodeProcess(Handle(process_), &code);
  CloseQuietly(process_);
  return got ? Describe(code, true) : ChildEnd{.KilledHere = true};
}

Result<ParentPipes> ParentPipes::Take() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE answers = GetStdHandle(STD_OUTPUT_HANDLE);
  if (input == INVALID_HANDLE_VALUE || answers == INVALID_HANDLE_VALUE || input == nullptr || answers == nullptr)
    return Status::Error(ErrorKind::ChildFailed, "it was started without pipes to its parent");
  // Standard output from now on is standard error: what a library prints is no answer.
  SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
  return ParentPipes(Held(input), Held(answers));
}

Status ParentPipes::Read(std::span<std::uint8_t> out) {
  while (!out.empty()) {
    DWORD got = 0;
    if (!ReadFile(Handle(input_), out.data(), static_cast<DWORD>(std::min<std::size_t>(out.size(), kPipeBytes)),
                  &got, nullptr) &&
        GetLastError() != ERROR_BROKEN_PIPE)
      return Status::Error(ErrorKind::Io, Str("cannot read from the parent process: ", LastError()));
    if (got == 0) return Status::Error(ErrorKind::Damaged, "the parent process said less than a whole request");
    out = out.subspan(got);
  }
  return Status::Ok();
}

Status ParentPipes::Write(std::span<const std::uint8_t> bytes) {
  return WriteAll(Handle(output_), bytes, "the parent process");
}

// Ends the process with the exception's code, before an error report or a debugger can hold
// it (its parent would take that for a hang).
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

Status LimitThisProcess(const ProcessLimits& limits) {
  // No error boxes: a crash ends the process at once, and its parent says so.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndAtOnce);
  // A job of its own, inside its parent's: its memory and its processor time.
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return Status::Error(ErrorKind::ChildFailed, "cannot make a job to limit itself: " + LastError());
  PROCESS_MEMORY_COUNTERS_EX counters{};
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_PROCESS_TIME;
  info.ProcessMemoryLimit = static_cast<SIZE_T>(std::min<std::uint64_t>(limits.ExtraAddressSpace, SIZE_MAX / 2)) +
                            (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)
                                 ? counters.PrivateUsage
                                 : 0);
  // In units of 100 ns of user time.
  info.BasicLimitInformation.PerProcessUserTimeLimit.QuadPart = std::int64_t{limits.CpuSeconds} * 10'000'000;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info) ||
      !AssignProcessToJobObject(job, GetCurrentProcess()))
    return Status::Error(ErrorKind::ChildFailed, "cannot limit its memory and processor time: " + LastError());
  return Status::Ok();  // the job stays open for as long as the process lives
}

Result<std::filesystem::path> HelperProgram(const std::string& name) {
  const std::filesystem::path folder = ProgramFolder();
  const std::filesystem::path file = Utf8ToPath(name + ".exe");
  const std::filesystem::path candidates[] = {folder / file, folder / ".." / "libexec" / "orvane" / file};
  for (const auto& candidate : candidates) {
    const DWORD attributes = GetFileAttributesW(candidate.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      return candidate.lexically_normal();
  }
  return Status::Error(ErrorKind::NotFound,
                       Str("the program ", PathToUtf8(file), " is neither in ", PathToUtf8(folder),
                           " nor in ", PathToUtf8(candidates[1].parent_path().lexically_normal())));
}

}  // namespace Orvane
