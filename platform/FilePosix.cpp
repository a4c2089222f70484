#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include "File.h"

namespace Orvane {
namespace {

std::string LastError() { return std::generic_category().message(errno); }

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    CloseQuietly(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

InputFile::~InputFile() { CloseQuietly(fd_); }

std::string InputFile::Open(const std::filesystem::path& path) {
  CloseQuietly(fd_);
  // Non-blocking, so that opening a pipe under a sound's name cannot wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return LastError();
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    std::string reason = LastError();
    ::close(fd);
    return reason;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(info.st_size);
  return {};
}

bool InputFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > size_ || out.size() > size_ - offset) return false;
  for (std::size_t done = 0; done < out.size();) {
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

OutputFile::OutputFile(OutputFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    CloseQuietly(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

OutputFile::~OutputFile() { CloseQuietly(fd_); }

std::string OutputFile::Create(const std::filesystem::path& path) {
  CloseQuietly(fd_);
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd_ < 0 ? LastError() : std::string();
}

std::string OutputFile::Write(std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastError();
    if (n == 0) return "the system accepted no more bytes";
    done += static_cast<std::size_t>(n);
  }
  return {};
}

std::string OutputFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastError();
    if (n == 0) return "the system accepted no more bytes";
    done += static_cast<std::size_t>(n);
  }
  return {};
}

std::string OutputFile::CopyFrom(const InputFile& source, std::uint64_t offset,
                                 std::uint64_t length) {
  if (offset > source.size_ || length > source.size_ - offset)
    return "the file is shorter than it was";
#if defined(__linux__)
  // The kernel copies without the bytes passing through this process.
  off_t in = static_cast<off_t>(offset);
  while (length > 0) {
    const ssize_t n = ::copy_file_range(source.fd_, &in, fd_, nullptr, length, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
      break;  // not between these two files: copy through memory below
    if (n < 0) return LastError();
    if (n == 0) return "the file is shorter than it was";
    length -= static_cast<std::uint64_t>(n);
  }
  offset = static_cast<std::uint64_t>(in);
#endif
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk)));
  while (length > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
    const std::span<std::uint8_t> chunk(buffer.data(), n);
    if (!source.ReadAt(offset, chunk)) return "the file is shorter than it was";
    if (std::string failed = Write(chunk); !failed.empty()) return failed;
    offset += n;
    length -= n;
  }
  return {};
}

std::string OutputFile::Close() {
  if (fd_ < 0) return {};
  const int fd = std::exchange(fd_, -1);
  return ::close(fd) != 0 ? LastError() : std::string();
}

}  // namespace Orvane
