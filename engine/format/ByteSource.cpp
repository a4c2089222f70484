#include "ByteSource.h"

#include <cstring>

#include "Text.h"

namespace Orvane {

Status MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset)
    return Status::Error(ErrorKind::Damaged,
                         Str("bytes ", offset, " to ", offset + out.size(),
                             " lie past the end (", bytes_.size(), " bytes)"),
                         Where{{}, {}, offset});
  std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return Status::Ok();
}

Result<FileSource> FileSource::Open(const std::filesystem::path& path) {
  InputFile file;
  if (Status opened = file.Open(path); !opened) return Result<FileSource>(opened);
  return FileSource(std::move(file));
}

}  // namespace Orvane
