#pragma once
// A file beside a target for bytes made before the target can be written (converted samples
// whose sizes its table needs first). It is removed when it goes out of scope.
#include <cstdint>
#include <filesystem>
#include <span>

#include "File.h"
#include "Status.h"

namespace Orvane {

class ScratchFile {
 public:
  static Result<ScratchFile> CreateBeside(const std::filesystem::path& target);

  ScratchFile(ScratchFile&& other) noexcept;
  ScratchFile& operator=(ScratchFile&&) = delete;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile();

  Status Append(std::span<const std::uint8_t> bytes);
  std::uint64_t Size() const { return size_; }
  // The bytes appended so far, for reading back.
  Result<InputFile> Reader() const;

 private:
  ScratchFile(std::filesystem::path path, OutputFile file) : path_(std::move(path)), file_(std::move(file)) {}
  std::filesystem::path path_;
  OutputFile file_;
  std::uint64_t size_ = 0;
};

}  // namespace Orvane
