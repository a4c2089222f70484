// Files on Windows: handles opened by their UTF-16 names, positioned reads and writes through
// OVERLAPPED offsets, FlushFileBuffers, and MoveFileExW with write-through for the replacement.
#include <windows.h>

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "File.h"
#include "FileHandle.h"
#include "Text.h"

namespace Orvane {
namespace {

// As many links as a path is followed through before it counts as a loop.
constexpr int kMaxLinks = 40;
// The rights a replacement keeps: a hidden or system file stays one.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// A single read or write: Windows counts them in 32 bits.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

HANDLE Handle(SystemHandle handle) { return reinterpret_cast<HANDLE>(handle); }
SystemHandle Held(HANDLE handle) { return reinterpret_cast<SystemHandle>(handle); }

std::string Reason(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    return "another program has it open (close it there and try again)";
  return std::system_category().message(static_cast<int>(error));
}

Status SystemFailure(DWORD error, const std::filesystem::path& path,
                     std::optional<std::uint64_t> offset = {}) {
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return Status::Error(missing ? ErrorKind::NotFound : ErrorKind::Io, Reason(error),
                       InFile(path, offset));
}

Status SystemFailure(const std::filesystem::path& path, std::optional<std::uint64_t> offset = {}) {
  return SystemFailure(GetLastError(), path, offset);
}

std::int64_t Nanoseconds(const FILETIME& time) {
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(ticks) * 100;  // 100 ns since 1601
}

FileStamp StampFrom(const BY_HANDLE_FILE_INFORMATION& info) {
  return {.Volume = info.dwVolumeSerialNumber,
          .FileId = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
          .Size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
          .ModifiedNs = Nanoseconds(info.ftLastWriteTime)};
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// What the file at `path` is, through links; nullopt when nothing is there.
Result<std::optional<BY_HANDLE_FILE_INFORMATION>> InfoOf(const std::filesystem::path& path) {
  const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return std::optional<BY_HANDLE_FILE_INFORMATION>();
    return SystemFailure(error, path);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL got = GetFileInformationByHandle(file, &info);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!got) return SystemFailure(error, path);
  return std::optional(info);
}

// Writes all of `bytes` at `offset`, or at the end when there is none.
Status WriteAll(HANDLE file, const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                std::optional<std::uint64_t> offset) {
  for (std::size_t done = 0; done < bytes.size();) {
    const auto n = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
    DWORD wrote = 0;
    OVERLAPPED at = At(offset.value_or(0) + done);
    if (!WriteFile(file, bytes.data() + done, n, &wrote, offset ? &at : nullptr))
      return SystemFailure(path, offset ? std::optional(*offset + done) : std::nullopt);
    if (wrote == 0) return Status::Error(ErrorKind::Io, "the system accepted no more bytes", InFile(path));
    done += wrote;
  }
  return Status::Ok();
}

}  // namespace

void CloseQuietly(SystemHandle& handle) noexcept {
  if (handle != kNoHandle) CloseHandle(Handle(handle));
  handle = kNoHandle;
}

Status InputFile::Open(const std::filesystem::path& path) {
  CloseQuietly(handle_);
  stamp_ = {};
  path_ = path;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Failure(ErrorKind::Io, "it is a folder", {});
  // Others may go on reading, writing and renaming it: a bank held open elsewhere still opens.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SystemFailure(path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)) {
    CloseHandle(file);
    return Failure(ErrorKind::Io, "it is not a regular file", {});
  }
  handle_ = Held(file);
  stamp_ = StampFrom(info);
  return Status::Ok();
}

Status InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > Size() || out.size() > Size() - offset)
    return Failure(ErrorKind::Damaged,
                   Str("the file ends at byte ", Size(), ", before the ", out.size(),
                       " bytes at byte ", offset),
                   offset);
  for (std::size_t done = 0; done < out.size();) {
    const auto n = static_cast<DWORD>(std::min(out.size() - done, kMaxTransfer));
    DWORD got = 0;
    OVERLAPPED at = At(offset + done);
    if (!ReadFile(Handle(handle_), out.data() + done, n, &got, &at)) {
      const DWORD error = GetLastError();
      if (error != ERROR_HANDLE_EOF) return SystemFailure(error, path_, offset + done);
    }
    if (got == 0)
      return Failure(ErrorKind::ChangedOnDisk,
                     Str("the file ends at byte ", offset + done, " now; it was ", Size(),
                         " bytes long when it was opened"),
                     offset + done);
    done += got;
  }
  return Status::Ok();
}

// A new file takes the rights of its folder: owner-only means what the folder gives its owner.
Result<std::optional<OutputFile>> OutputFile::CreateNew(const std::filesystem::path& path,
                                                        NewFileAccess) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return std::optional(OutputFile(Held(file), path));
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return std::optional<OutputFile>();
  return SystemFailure(error, path);
}

Status OutputFile::SetAccess(FileAccess access) {
  FILE_BASIC_INFO info{};
  if (!GetFileInformationByHandleEx(Handle(handle_), FileBasicInfo, &info, sizeof info))
    return SystemFailure(path_);
  info.FileAttributes = (info.FileAttributes & ~kKeptAttributes) | (access.Bits & kKeptAttributes);
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileInformationByHandle(Handle(handle_), FileBasicInfo, &info, sizeof info))
    return SystemFailure(path_);
  return Status::Ok();
}

Status OutputFile::Write(std::span<const std::uint8_t> bytes) {
  return WriteAll(Handle(handle_), path_, bytes, std::nullopt);
}

Status OutputFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  return WriteAll(Handle(handle_), path_, bytes, offset);
}

Status OutputFile::CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
  if (offset > source.Size() || length > source.Size() - offset)
    return source.Failure(ErrorKind::ChangedOnDisk, "the file is shorter than it was", offset);
  return CopyThroughMemory(source, *this, offset, length);
}

Status OutputFile::Sync() {
  return FlushFileBuffers(Handle(handle_)) ? Status::Ok() : SystemFailure(path_);
}

Result<FileStamp> OutputFile::Stamp() const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(Handle(handle_), &info)) return SystemFailure(path_);
  return StampFrom(info);
}

Status OutputFile::Close() {
  if (handle_ == kNoHandle) return Status::Ok();
  const HANDLE file = Handle(std::exchange(handle_, kNoHandle));
  return CloseHandle(file) ? Status::Ok() : SystemFailure(path_);
}

Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path) {
  auto info = InfoOf(path);
  if (!info) return info.status();
  if (!*info) return std::optional<FileStamp>();
  return std::optional(StampFrom(**info));
}

Result<std::optional<FileAccess>> AccessOf(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::optional<FileAccess>();
    return SystemFailure(error, path);
  }
  return std::optional(FileAccess{attributes & kKeptAttributes});
}

Result<std::filesystem::path> ResolveLinks(const std::filesystem::path& path) {
  std::filesystem::path file = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(file, ec);
    if (ec || !std::filesystem::is_symlink(status)) return file;
    std::filesystem::path next = std::filesystem::read_symlink(file, ec);
    if (ec) return Status::Error(ErrorKind::Io, ec.message(), InFile(file));
    // A relative link names a file beside the link, not beside this process.
    file = next.is_absolute() ? std::move(next) : file.parent_path() / next;
  }
  return Status::Error(ErrorKind::Io, "too many links in a row (a loop?)", InFile(path));
}

Status MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  // Write-through: the call returns once the move is on the disk, which on POSIX takes the
  // folder's sync.
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Status::Ok();
  DWORD error = GetLastError();
  // A target another program holds open is refused as "access denied"; the question of who
  // may delete it tells that apart from a file the user may not change.
  if (error == ERROR_ACCESS_DENIED) {
    const HANDLE probe = CreateFileW(to.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
      error = ERROR_SHARING_VIOLATION;
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
  }
  return SystemFailure(error, to);
}

// The rename was written through: nothing of the folder waits to reach the disk.
Status SyncFolder(const std::filesystem::path&) { return Status::Ok(); }

// Windows syncs a file system only for its administrators; the files were synced one by one
// as they were finished (FilesSyncOneByOne).
Status SyncFileSystemOf(const std::filesystem::path&) { return Status::Ok(); }

bool FilesSyncOneByOne() { return true; }

}  // namespace Orvane
