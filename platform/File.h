#pragma once
// Files as the engine needs them: positioned reads of a regular file, whole writes, and copies
// from one file into another that stay inside the system where it can do them.
// Each operation answers with an empty string on success, else the system's reason.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace Orvane {

class InputFile {
 public:
  InputFile() = default;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Refuses anything but a regular file: a pipe or device would block or never end.
  std::string Open(const std::filesystem::path& path);
  std::uint64_t Size() const { return size_; }
  // Reads exactly `out.size()` bytes at `offset`; false when the file ends sooner or fails.
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  friend class OutputFile;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates the file, or empties an existing one.
  std::string Create(const std::filesystem::path& path);
  std::string Write(std::span<const std::uint8_t> bytes);
  // Overwrites bytes written before, at `offset`, leaving the end where it is.
  std::string WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Appends `length` bytes of `source` from `offset`; fails when the source ends sooner.
  std::string CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
  // Closes the file; a failure here can be the first word of a full disk.
  std::string Close();

 private:
  int fd_ = -1;
};

}  // namespace Orvane
