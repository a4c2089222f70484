#pragma once
// Writes a file under a temporary name beside its target and moves it over the target only
// when every byte has been written: a failure leaves the target as it was and nothing behind.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>

#include "Status.h"

namespace Orvane {

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
  std::uint64_t BytesWritten() const { return written_; }
  // Flushes, closes and renames over the target.
  Status Commit();

  const std::filesystem::path& Target() const { return target_; }

 private:
  AtomicFile(std::filesystem::path target, std::filesystem::path temp, std::ofstream stream);
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::ofstream stream_;
  std::uint64_t written_ = 0;
  bool done_ = false;
};

}  // namespace Orvane
