#include "ScratchFile.h"

#include <utility>

#include "AtomicFile.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane {

Result<ScratchFile> ScratchFile::CreateBeside(const std::filesystem::path& target) {
  // Only this process reads it back.
  auto created = CreateTempBeside(target, NewFileAccess::OwnerOnly);
  if (!created)
    return Result<ScratchFile>::Error(
        ErrorKind::Io,
        Str("cannot create a scratch file beside ", PathToUtf8(target), ": ", created.message()),
        InFile(target));
  return ScratchFile(std::move(created->Path), std::move(created->File));
}

ScratchFile::ScratchFile(ScratchFile&& other) noexcept
    : path_(std::exchange(other.path_, {})), file_(std::move(other.file_)), size_(other.size_) {}

ScratchFile::~ScratchFile() {
  if (path_.empty()) return;
  (void)file_.Close();
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

Status ScratchFile::Append(std::span<const std::uint8_t> bytes) {
  if (Status written = file_.Write(bytes); !written)
    return Status::Error(ErrorKind::Io, Str("writing the scratch file ", PathToUtf8(path_),
                                            " failed after ", size_, " bytes: ", written.message()),
                         written.where());
  size_ += bytes.size();
  return Status::Ok();
}

Result<InputFile> ScratchFile::Reader() const {
  InputFile reader;
  if (Status opened = reader.Open(path_); !opened)
    return Result<InputFile>::Error(
        ErrorKind::Io,
        Str("cannot read back the scratch file ", PathToUtf8(path_), ": ", opened.message()),
        opened.where());
  return reader;
}

}  // namespace Orvane
