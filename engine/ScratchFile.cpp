#include "ScratchFile.h"

#include <utility>

#include "AtomicFile.h"
#include "Text.h"

namespace Orvane {

Result<ScratchFile> ScratchFile::CreateBeside(const std::filesystem::path& target) {
  std::filesystem::path path = TempPathBeside(target);
  OutputFile file;
  if (std::string failed = file.Create(path); !failed.empty())
    return Result<ScratchFile>::Error(
        ErrorKind::Io, Str("cannot create a scratch file beside ", target.string(), ": ", failed));
  return ScratchFile(std::move(path), std::move(file));
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
  if (std::string failed = file_.Write(bytes); !failed.empty())
    return Status::Error(ErrorKind::Io, Str("writing the scratch file ", path_.string(),
                                            " failed after ", size_, " bytes: ", failed));
  size_ += bytes.size();
  return Status::Ok();
}

Result<InputFile> ScratchFile::Reader() const {
  InputFile reader;
  if (std::string failed = reader.Open(path_); !failed.empty())
    return Result<InputFile>::Error(
        ErrorKind::Io, Str("cannot read back the scratch file ", path_.string(), ": ", failed));
  return reader;
}

}  // namespace Orvane
