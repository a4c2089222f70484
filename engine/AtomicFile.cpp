#include "AtomicFile.h"

#include <random>
#include <utility>

#include "SystemError.h"
#include "Text.h"

namespace Orvane {
namespace {

std::filesystem::path TempPathFor(const std::filesystem::path& target) {
  std::random_device random;
  const auto tag = (static_cast<std::uint64_t>(random()) << 32) | random();
  std::filesystem::path temp = target;
  temp.replace_filename(Str('.', target.filename().string(), '.', std::hex, tag, ".tmp"));
  return temp;
}

}  // namespace

Result<AtomicFile> AtomicFile::Create(const std::filesystem::path& target) {
  std::filesystem::path temp = TempPathFor(target);
  errno = 0;
  std::ofstream stream(temp, std::ios::binary | std::ios::trunc);
  if (!stream)
    return Result<AtomicFile>::Error(
        Str("cannot create ", target.string(), ": ", LastSystemError("it cannot be opened")));
  return AtomicFile(target, std::move(temp), std::move(stream));
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temp,
                       std::ofstream stream)
    : target_(std::move(target)), temp_(std::move(temp)), stream_(std::move(stream)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      stream_(std::move(other.stream_)),
      written_(other.written_),
      done_(std::exchange(other.done_, true)) {}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (done_) return;
  done_ = true;
  stream_.close();
  std::error_code ignored;
  std::filesystem::remove(temp_, ignored);
}

Status AtomicFile::Write(std::span<const std::uint8_t> bytes) {
  errno = 0;
  stream_.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
  if (!stream_)
    return Status::Error(Str("writing ", target_.string(), " failed after ", written_,
                             " bytes: ", LastSystemError("write error")));
  written_ += bytes.size();
  return Status::Ok();
}

Status AtomicFile::Commit() {
  errno = 0;
  stream_.flush();
  stream_.close();
  if (stream_.fail()) {
    const std::string reason = LastSystemError("write error");
    Discard();
    return Status::Error(Str("writing ", target_.string(), " failed: ", reason));
  }
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
