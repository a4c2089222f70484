#include "ByteSource.h"

#include <cstring>

namespace Orvane {

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
  std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

Result<FileSource> FileSource::Open(const std::filesystem::path& path) {
  InputFile file;
  if (Status opened = file.Open(path); !opened) return Result<FileSource>(opened);
  return FileSource(std::move(file));
}

}  // namespace Orvane
