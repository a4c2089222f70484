#pragma once
// Random access to the bytes of a file or of memory, every read checked against the size.
#include <cstdint>
#include <filesystem>
#include <span>

#include "File.h"
#include "Status.h"

namespace Orvane {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads exactly `out.size()` bytes at `offset`: Damaged, at `offset`, when they are not all
  // there; for a file, also the failures InputFile::ReadAt names.
  virtual Status ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  Status ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

class FileSource final : public ByteSource {
 public:
  // Fails with the system's reason when the file cannot be opened or is not a regular file
  // (ErrorKind::NotFound when there is none).
  static Result<FileSource> Open(const std::filesystem::path& path);
  std::uint64_t Size() const override { return file_.Size(); }
  Status ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    return file_.ReadAt(offset, out);
  }
  const InputFile& File() const { return file_; }

 private:
  explicit FileSource(InputFile file) : file_(std::move(file)) {}
  InputFile file_;
};

}  // namespace Orvane
