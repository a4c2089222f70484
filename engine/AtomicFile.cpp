#include "AtomicFile.h"

#include <random>
#include <system_error>
#include <utility>

#include "Text.h"

namespace Orvane {

std::filesystem::path TempPathBeside(const std::filesystem::path& target) {
  std::random_device random;
  const auto tag = (static_cast<std::uint64_t>(random()) << 32) | random();
  std::filesystem::path temp = target;
  temp.replace_filename(Str('.', target.filename().string(), '.', std::hex, tag, ".tmp"));
  return temp;
}

Result<AtomicFile> AtomicFile::Create(const std::filesystem::path& target) {
  std::filesystem::path temp = TempPathBeside(target);
  OutputFile file;
  if (std::string failed = file.Create(temp); !failed.empty())
    return Result<AtomicFile>::Error(Str("cannot create ", target.string(), ": ", failed));
  return AtomicFile(target, std::move(temp), std::move(file));
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temp, OutputFile file)
    : target_(std::move(target)), temp_(std::move(temp)), file_(std::move(file)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      file_(std::move(other.file_)),
      written_(other.written_),
      done_(std::exchange(other.done_, true)) {}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (done_) return;
  done_ = true;
  (void)file_.Close();
  std::error_code ignored;
  std::filesystem::remove(temp_, ignored);
}

Status AtomicFile::Failed(const std::string& reason) {
  Discard();
  return Status::Error(Str("writing ", target_.string(), " failed after ", written_, " bytes: ",
                           reason));
}

Status AtomicFile::Write(std::span<const std::uint8_t> bytes) {
  if (std::string failed = file_.Write(bytes); !failed.empty()) return Failed(failed);
  written_ += bytes.size();
  return Status::Ok();
}

Status AtomicFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (offset > written_ || bytes.size() > written_ - offset)
    return Failed("a patch past the bytes written so far");
  if (std::string failed = file_.WriteAt(offset, bytes); !failed.empty()) return Failed(failed);
  return Status::Ok();
}

Status AtomicFile::CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
  if (std::string failed = file_.CopyFrom(source, offset, length); !failed.empty())
    return Failed(failed);
  written_ += length;
  return Status::Ok();
}

Status AtomicFile::Commit() {
  if (std::string failed = file_.Close(); !failed.empty()) return Failed(failed);
  std::error_code ec;
  std::filesystem::rename(temp_, target_, ec);
  if (ec) {
    Discard();
    return Status::Error(Str("cannot replace ", target_.string(), ": ", ec.message()));
  }
  done_ = true;
  return Status::Ok();
}

}  // namespace Orvane
