// What files are on every system: moving, closing, copying through memory and wording their
// failures; each system's own file opens, reads and writes them.
#include <algorithm>
#include <utility>
#include <vector>

#include "File.h"
#include "FileHandle.h"

namespace Orvane {
namespace {

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

}  // namespace

Status CopyThroughMemory(const InputFile& source, OutputFile& target, std::uint64_t offset,
                         std::uint64_t length) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk)));
  while (length > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
    const std::span<std::uint8_t> chunk(buffer.data(), n);
    if (Status read = source.ReadAt(offset, chunk); !read) return read;
    if (Status written = target.Write(chunk); !written) return written;
    offset += n;
    length -= n;
  }
  return Status::Ok();
}

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      path_(std::move(other.path_)),
      stamp_(std::exchange(other.stamp_, {})) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    CloseQuietly(handle_);
    handle_ = std::exchange(other.handle_, kNoHandle);
    path_ = std::move(other.path_);
    stamp_ = std::exchange(other.stamp_, {});
  }
  return *this;
}

InputFile::~InputFile() { CloseQuietly(handle_); }

Status InputFile::Failure(ErrorKind kind, std::string reason,
                          std::optional<std::uint64_t> offset) const {
  return Status::Error(kind, std::move(reason), InFile(path_, offset));
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), path_(std::move(other.path_)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    CloseQuietly(handle_);
    handle_ = std::exchange(other.handle_, kNoHandle);
    path_ = std::move(other.path_);
  }
  return *this;
}

OutputFile::~OutputFile() { CloseQuietly(handle_); }

Status OutputFile::Failure(std::string reason) const {
  return Status::Error(ErrorKind::Io, std::move(reason), InFile(path_));
}

}  // namespace Orvane
