#include "ByteSource.h"

#include <cstring>
#include <system_error>

#include "SystemError.h"

namespace Orvane {

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

Result<FileSource> FileSource::Open(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec) return Result<FileSource>::Error(ec.message());
  // A pipe or device under a sound's name would block or never end.
  if (!std::filesystem::is_regular_file(status))
    return Result<FileSource>::Error("it is not a regular file");
  errno = 0;
  std::ifstream stream(path, std::ios::binary | std::ios::ate);
  if (!stream) {
    return Result<FileSource>::Error(LastSystemError("it cannot be opened"));
  }
  const auto end = stream.tellg();
  if (end < 0) return Result<FileSource>::Error("its size cannot be read");
  return FileSource(std::move(stream), static_cast<std::uint64_t>(end));
}

bool FileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset > size_ || out.size() > size_ - offset) return false;
  stream_.clear();
  stream_.seekg(static_cast<std::streamoff>(offset));
  stream_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return stream_.gcount() == static_cast<std::streamsize>(out.size());
}

}  // namespace Orvane
