#pragma once
// Files as the engine needs them: positioned reads of a regular file, writes into a file made
// for them, copies from one file into another that stay inside the system where it can do
// them, and what a safe replacement of a file needs (syncs, permissions, links).
// Each operation answers ErrorKind::NotFound when there is no such file, ErrorKind::Io for any
// other refusal of the system, with the system's reason as the message and the file in Where.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "Status.h"

namespace Orvane {

// Where a failure in `file` lies, at `offset` when it is known.
inline Where InFile(const std::filesystem::path& file, std::optional<std::uint64_t> offset = {}) {
  Where where;
  where.File = file.string();
  where.Offset = offset;
  return where;
}

// What identifies one version of a file: another program's save changes at least one field.
struct FileStamp {
  std::uint64_t Device = 0, Inode = 0, Size = 0;
  std::int64_t ModifiedNs = 0;

  bool operator==(const FileStamp&) const = default;
};

class InputFile {
 public:
  InputFile() = default;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Refuses anything but a regular file: a pipe or device would block or never end.
  Status Open(const std::filesystem::path& path);
  std::uint64_t Size() const { return stamp_.Size; }
  // The version of the file that Open found.
  const FileStamp& Stamp() const { return stamp_; }
  // Reads exactly `out.size()` bytes at `offset`: ErrorKind::Damaged when they lie past the end
  // the file had at Open, ErrorKind::ChangedOnDisk when it has shrunk since.
  Status ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  friend class OutputFile;
  Status Failure(ErrorKind kind, std::string reason, std::optional<std::uint64_t> offset) const;

  int fd_ = -1;
  std::filesystem::path path_;
  FileStamp stamp_;
};

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates a file that was not there, with `mode` less the umask; nullopt when the name is
  // taken, so that the caller can pick another.
  static Result<std::optional<OutputFile>> CreateNew(const std::filesystem::path& path,
                                                     std::uint32_t mode);
  // Gives the file exactly the permission bits `mode`, whatever the umask.
  Status SetMode(std::uint32_t mode);
  Status Write(std::span<const std::uint8_t> bytes);
  // Overwrites bytes written before, at `offset`, leaving the end where it is.
  Status WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Appends `length` bytes of `source` from `offset`; ErrorKind::ChangedOnDisk when the source
  // ends sooner.
  Status CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
  // Waits until the bytes written are on the disk.
  Status Sync();
  // Closes the file; a failure here can be the first word of a full disk.
  Status Close();

 private:
  OutputFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  Status Failure(std::string reason) const;

  int fd_ = -1;
  std::filesystem::path path_;
};

// The stamp of the file at `path`, through links; nullopt when there is none.
Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path);
// The permission bits of the file at `path`, through links; nullopt when there is none.
Result<std::optional<std::uint32_t>> PermissionsOf(const std::filesystem::path& path);
// The file that `path` names once every symbolic link on its last part is followed: `path`
// itself when it is no link; for a link to nothing, the file that writing through it creates.
// A loop of links fails.
Result<std::filesystem::path> ResolveLinks(const std::filesystem::path& path);
// Waits until the entries of `folder` (a file renamed into it) are on the disk.
Status SyncFolder(const std::filesystem::path& folder);
// Waits until every file written on the file system holding `folder` is on the disk: one sync
// for many files instead of one each.
Status SyncFileSystemOf(const std::filesystem::path& folder);

}  // namespace Orvane
