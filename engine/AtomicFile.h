#pragma once
// Writes a file under a temporary name beside its target and moves it over the target only
// when every byte has been written: a failure leaves the target as it was and nothing behind.
#include <cstdint>
#include <filesystem>
#include <span>

#include "File.h"
#include "Status.h"

namespace Orvane {

// A name for a scratch file beside `target`, hidden and unlikely to be taken.
std::filesystem::path TempPathBeside(const std::filesystem::path& target);

class AtomicFile {
 public:
  static Result<AtomicFile> Create(const std::filesystem::path& target);

  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFile();

  Status Write(std::span<const std::uint8_t> bytes);
  // Overwrites bytes already written at `offset`: a header whose sizes were known only later.
  Status WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Appends `length` bytes of `source` from `offset` without holding them in memory.
  Status CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
  std::uint64_t BytesWritten() const { return written_; }
  // Closes and renames over the target.
  Status Commit();

  const std::filesystem::path& Target() const { return target_; }

 private:
  AtomicFile(std::filesystem::path target, std::filesystem::path temp, OutputFile file);
  Status Failed(const std::string& reason);
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  OutputFile file_;
  std::uint64_t written_ = 0;
  bool done_ = false;
};

}  // namespace Orvane
