// Files on POSIX systems: descriptors, pread and pwrite, fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include "File.h"
#include "FileHandle.h"
#include "Text.h"

namespace Orvane {
namespace {

// As many links as the system itself follows in one path before it calls it a loop.
constexpr int kMaxLinks = 40;
// What a file made anew may give, less the umask.
constexpr mode_t kUsualMode = 0644;
constexpr mode_t kOwnerOnlyMode = 0600;

int Fd(SystemHandle handle) { return static_cast<int>(handle); }

std::string Reason(int error) { return std::generic_category().message(error); }

Status SystemFailure(int error, const std::filesystem::path& path,
                     std::optional<std::uint64_t> offset = {}) {
  return Status::Error(error == ENOENT ? ErrorKind::NotFound : ErrorKind::Io, Reason(error),
                       InFile(path, offset));
}

// The failure the system reported in errno, about `path`.
Status SystemFailure(const std::filesystem::path& path, std::optional<std::uint64_t> offset = {}) {
  return SystemFailure(errno, path, offset);
}

FileStamp StampFrom(const struct stat& info) {
  return {.Volume = static_cast<std::uint64_t>(info.st_dev),
          .FileId = static_cast<std::uint64_t>(info.st_ino),
          .Size = static_cast<std::uint64_t>(info.st_size),
          .ModifiedNs = std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// What stat says of `path`, through links; nullopt when nothing is there.
Result<std::optional<struct stat>> StatOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return std::optional(info);
  if (errno == ENOENT) return std::optional<struct stat>();
  return SystemFailure(path);
}

}  // namespace

void CloseQuietly(SystemHandle& handle) noexcept {
  if (handle != kNoHandle) ::close(Fd(handle));
  handle = kNoHandle;
}

Status InputFile::Open(const std::filesystem::path& path) {
  CloseQuietly(handle_);
  stamp_ = {};
  path_ = path;
  // Non-blocking, so that opening a pipe under a sound's name cannot wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return SystemFailure(path);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    Status failed = SystemFailure(path);
    ::close(fd);
    return failed;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return Failure(ErrorKind::Io, S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file",
                   {});
  }
  handle_ = fd;
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
    const ssize_t n = ::pread(Fd(handle_), out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure(path_, offset + done);
    if (n == 0)
      return Failure(ErrorKind::ChangedOnDisk,
                     Str("the file ends at byte ", offset + done, " now; it was ", Size(),
                         " bytes long when it was opened"),
                     offset + done);
    done += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

Result<std::optional<OutputFile>> OutputFile::CreateNew(const std::filesystem::path& path,
                                                        NewFileAccess access) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        access == NewFileAccess::OwnerOnly ? kOwnerOnlyMode : kUsualMode);
  if (fd >= 0) return std::optional(OutputFile(fd, path));
  if (errno == EEXIST) return std::optional<OutputFile>();
  return SystemFailure(path);
}

Status OutputFile::SetAccess(FileAccess access) {
  return ::fchmod(Fd(handle_), static_cast<mode_t>(access.Bits & 07777)) == 0 ? Status::Ok()
                                                                              : SystemFailure(path_);
}

Status OutputFile::Write(std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(Fd(handle_), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure(path_);
    if (n == 0) return Failure("the system accepted no more bytes");
    done += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

Status OutputFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::pwrite(Fd(handle_), bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure(path_, offset + done);
    if (n == 0) return Failure("the system accepted no more bytes");
    done += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

Status OutputFile::CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
  const auto shorter = [&](std::uint64_t at) {
    return source.Failure(ErrorKind::ChangedOnDisk, "the file is shorter than it was", at);
  };
  if (offset > source.Size() || length > source.Size() - offset) return shorter(offset);
#if defined(__linux__)
  // The kernel copies without the bytes passing through this process.
  off_t in = static_cast<off_t>(offset);
  while (length > 0) {
    const ssize_t n = ::copy_file_range(Fd(source.handle_), &in, Fd(handle_), nullptr, length, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
      break;  // not between these two files: copy through memory below
    if (n < 0) return SystemFailure(path_);
    if (n == 0) return shorter(static_cast<std::uint64_t>(in));
    length -= static_cast<std::uint64_t>(n);
  }
  offset = static_cast<std::uint64_t>(in);
#endif
  return CopyThroughMemory(source, *this, offset, length);
}

Status OutputFile::Sync() {
  while (::fsync(Fd(handle_)) != 0)
    if (errno != EINTR) return SystemFailure(path_);
  return Status::Ok();
}

Result<FileStamp> OutputFile::Stamp() const {
  struct stat info {};
  if (::fstat(Fd(handle_), &info) != 0) return SystemFailure(path_);
  return StampFrom(info);
}

Status OutputFile::Close() {
  if (handle_ == kNoHandle) return Status::Ok();
  const int fd = Fd(std::exchange(handle_, kNoHandle));
  return ::close(fd) != 0 ? SystemFailure(path_) : Status::Ok();
}

Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path) {
  auto info = StatOf(path);
  if (!info) return info.status();
  if (!*info) return std::optional<FileStamp>();
  return std::optional(StampFrom(**info));
}

Result<std::optional<FileAccess>> AccessOf(const std::filesystem::path& path) {
  auto info = StatOf(path);
  if (!info) return info.status();
  if (!*info) return std::optional<FileAccess>();
  return std::optional(FileAccess{static_cast<std::uint32_t>((*info)->st_mode & 07777)});
}

Result<std::filesystem::path> ResolveLinks(const std::filesystem::path& path) {
  std::filesystem::path file = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0)
      return errno == ENOENT ? Result<std::filesystem::path>(file) : SystemFailure(file);
    if (!S_ISLNK(info.st_mode)) return file;
    std::error_code ec;
    std::filesystem::path next = std::filesystem::read_symlink(file, ec);
    if (ec)
      return Status::Error(ErrorKind::Io, ec.message(), InFile(file));
    // A relative link names a file beside the link, not beside this process.
    file = next.is_absolute() ? std::move(next) : file.parent_path() / next;
  }
  return Status::Error(ErrorKind::Io, Reason(ELOOP), InFile(path));
}

Status MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? Status::Ok() : SystemFailure(to);
}

Status SyncFolder(const std::filesystem::path& folder) {
  const std::filesystem::path dir = folder.empty() ? "." : folder;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SystemFailure(dir);
  int synced;
  do synced = ::fsync(fd);
  while (synced != 0 && errno == EINTR);
  // Some file systems cannot sync a folder at all (EINVAL): there is nothing to wait for.
  const int error = synced == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return error == 0 ? Status::Ok() : SystemFailure(error, dir);
}

bool FilesSyncOneByOne() { return false; }

Status SyncFileSystemOf(const std::filesystem::path& folder) {
  const std::filesystem::path dir = folder.empty() ? "." : folder;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SystemFailure(dir);
#if defined(__linux__)
  const int error = ::syncfs(fd) == 0 ? 0 : errno;
#else
  ::sync();
  const int error = 0;
#endif
  ::close(fd);
  return error == 0 ? Status::Ok() : SystemFailure(error, dir);
}

}  // namespace Orvane
