// What files are on every system: moving, closing and wording their failures; each system's
// own file opens, reads and writes them.
#include <utility>

#include "File.h"
#include "FileHandle.h"

namespace Orvane {

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
