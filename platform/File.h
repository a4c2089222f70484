#pragma once
// Files as the engine needs them: positioned reads of a regular file, writes into a file made
// for them, copies from one file into another that stay inside the system where it can do
// them, and what a safe replacement of a file needs (syncs, access rights, links, the rename).
// Each operation answers ErrorKind::NotFound when there is no such file, ErrorKind::Io for any
// other refusal of the system, with the system's reason as the message and the file in Where.
// One implementation per system (FilePosix.cpp, FileWindows.cpp).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "PathUtf8.h"
#include "Status.h"

namespace Orvane {

// Where a failure in `file` lies, at `offset` when it is known.
inline Where InFile(const std::filesystem::path& file, std::optional<std::uint64_t> offset = {}) {
  Where where;
  where.File = PathToUtf8(file);
  where.Offset = offset;
  return where;
}

// What identifies one version of a file: the volume and the file's number on it, its size and
// its last write. Another program's save changes at least one of them.
struct FileStamp {
  std::uint64_t Volume = 0, FileId = 0, Size = 0;
  std::int64_t ModifiedNs = 0;

  bool operator==(const FileStamp&) const = default;
};

// The access rights of a file in the system's own terms, only ever copied from a file to the
// one that replaces it.
struct FileAccess {
  std::uint32_t Bits = 0;

  bool operator==(const FileAccess&) const = default;
};

// Who may read a file made anew: whoever the system lets read new files, or its owner alone.
enum class NewFileAccess { Usual, OwnerOnly };

// The system's handle of an open file (a descriptor, a HANDLE), or kNoHandle.
using SystemHandle = std::intptr_t;
inline constexpr SystemHandle kNoHandle = -1;

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

  SystemHandle handle_ = kNoHandle;
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

  // Creates a file that was not there; nullopt when the name is taken, so that the caller can
  // pick another.
  static Result<std::optional<OutputFile>> CreateNew(const std::filesystem::path& path,
                                                     NewFileAccess access);
  // Gives the file exactly the access rights `access`.
  Status SetAccess(FileAccess access);
  Status Write(std::span<const std::uint8_t> bytes);
  // Overwrites bytes written before, at `offset`, leaving the end where it is.
  Status WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Appends `length` bytes of `source` from `offset`; ErrorKind::ChangedOnDisk when the source
  // ends sooner.
  Status CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
  // Waits until the bytes written are on the disk.
  Status Sync();
  // The version of the file as written so far: what it will be once renamed over a target.
  Result<FileStamp> Stamp() const;
  // Closes the file; a failure here can be the first word of a full disk.
  Status Close();

 private:
  OutputFile(SystemHandle handle, std::filesystem::path path)
      : handle_(handle), path_(std::move(path)) {}
  Status Failure(std::string reason) const;

  SystemHandle handle_ = kNoHandle;
  std::filesystem::path path_;
};

// The stamp of the file at `path`, through links; nullopt when there is none.
Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path);
// The access rights of the file at `path`, through links; nullopt when there is none.
Result<std::optional<FileAccess>> AccessOf(const std::filesystem::path& path);
// The file that `path` names once every symbolic link on its last part is followed: `path`
// itself when it is no link; for a link to nothing, the file that writing through it creates.
// A loop of links fails.
Result<std::filesystem::path> ResolveLinks(const std::filesystem::path& path);
// Puts the file `from` in the place of `to`, replacing what was there in one step: `to` is the
// old file or the new one, never neither.
Status MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);
// Waits until the entries of `folder` (a file renamed into it) are on the disk.
Status SyncFolder(const std::filesystem::path& folder);
// Waits until every file written on the file system holding `folder` is on the disk: one sync
// for many files instead of one each. Where the system cannot, it does nothing, and
// FilesSyncOneByOne says so: then each file is synced before it is closed.
Status SyncFileSystemOf(const std::filesystem::path& folder);
bool FilesSyncOneByOne();

}  // namespace Orvane
