#pragma once
// The one writer of every file this program makes: the bytes go into a temporary file created
// beside the target, which is synced and renamed over the target only when every byte has been
// written, and the folder is synced after. A failure leaves the target as it was and nothing
// behind. The target's permissions are kept; a target that is a symbolic link is written
// through it (the file it names is replaced, the link stays).
// Failures are ErrorKind::Io, naming the target, with the target in Where; a file copied from
// that changed meanwhile is ErrorKind::ChangedOnDisk.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "File.h"
#include "Status.h"

namespace Orvane {

struct TempFile {
  std::filesystem::path Path;
  OutputFile File;
};
// A file created beside `file` under a hidden name nobody had.
Result<TempFile> CreateTempBeside(const std::filesystem::path& file, NewFileAccess access);

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
  // Syncs, closes and renames over the target, then syncs the folder.
  Status Commit();
  // After Commit: the version of the file the target now is.
  const FileStamp& Written() const { return stamp_; }
  // Closes the temporary file, for CommitAll.
  Status Finish();
  // Commits files that are Finish()ed with one sync of the file system for all of them, then
  // renames each over its target and syncs each folder once: many small files (an export of
  // every sound) cost one sync, not two each. One answer per file.
  static std::vector<Status> CommitAll(std::span<AtomicFile> files);

  const std::filesystem::path& Target() const { return target_; }

 private:
  AtomicFile(std::filesystem::path target, std::filesystem::path replaced, TempFile temp);
  Status Failed(const Status& failure);
  Status Rename();
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path replaced_;  // the file the target's links name: the one renamed over
  std::filesystem::path temp_;
  OutputFile file_;
  std::uint64_t written_ = 0;
  FileStamp stamp_;
  bool done_ = false;
};

}  // namespace Orvane
