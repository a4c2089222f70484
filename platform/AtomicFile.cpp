#include "AtomicFile.h"

#include <algorithm>

#include <random>
#include <system_error>
#include <utility>

#include "PathUtf8.h"
#include "Text.h"

namespace Orvane {
namespace {

// Names tried before giving up on a folder that seems to hold them all.
constexpr int kTempNameAttempts = 100;

}  // namespace

Result<TempFile> CreateTempBeside(const std::filesystem::path& file, NewFileAccess access) {
  std::mt19937_64 random{std::random_device{}()};
  std::filesystem::path temp = file;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp.replace_filename(Utf8ToPath(Str('.', PathToUtf8(file.filename()), '.', std::hex, random(), ".tmp")));
    auto created = OutputFile::CreateNew(temp, access);
    if (!created) return created.status();
    if (*created) return TempFile{std::move(temp), std::move(**created)};
  }
  return Result<TempFile>::Error(
      ErrorKind::Io, Str(kTempNameAttempts, " names for a temporary file were all taken"),
      InFile(file));
}

Result<AtomicFile> AtomicFile::Create(const std::filesystem::path& target) {
  const auto fail = [&](const Status& failure) {
    return Result<AtomicFile>::Error(ErrorKind::Io,
                                     Str("cannot create ", PathToUtf8(target), ": ", failure.message()),
                                     InFile(target));
  };
  auto file = ResolveLinks(target);
  if (!file) return fail(file.status());
  auto access = AccessOf(*file);
  if (!access) return fail(access.status());
  auto temp = CreateTempBeside(*file, NewFileAccess::Usual);
  if (!temp) return fail(temp.status());
  AtomicFile out(target, std::move(*file), std::move(*temp));
  // The target's own rights are kept whole, whatever the system gives a new file.
  if (*access)
    if (Status kept = out.file_.SetAccess(**access); !kept) return Result<AtomicFile>(out.Failed(kept));
  return out;
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path replaced, TempFile temp)
    : target_(std::move(target)),
      replaced_(std::move(replaced)),
      temp_(std::move(temp.Path)),
      file_(std::move(temp.File)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      replaced_(std::move(other.replaced_)),
      temp_(std::move(other.temp_)),
      file_(std::move(other.file_)),
      written_(other.written_),
      stamp_(other.stamp_),
      done_(std::exchange(other.done_, true)) {}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (done_) return;
  done_ = true;
  (void)file_.Close();
  std::error_code ignored;
  std::filesystem::remove(temp_, ignored);
}

Status AtomicFile::Failed(const Status& failure) {
  Discard();
  // A failure of the file copied from is that file's: it keeps its kind and its name.
  const std::string& file = failure.where().File;
  const bool source = !file.empty() && file != PathToUtf8(temp_);
  return Status::Error(source ? failure.kind() : ErrorKind::Io,
                       Str("writing ", PathToUtf8(target_), " failed after ", written_, " bytes: ",
                           source ? file + ": " : "", failure.message()),
                       InFile(target_, failure.where().Offset));
}

Status AtomicFile::Write(std::span<const std::uint8_t> bytes) {
  if (Status s = file_.Write(bytes); !s) return Failed(s);
  written_ += bytes.size();
  return Status::Ok();
}

Status AtomicFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (offset > written_ || bytes.size() > written_ - offset)
    return Failed(Status::Error(ErrorKind::Io, "a patch past the bytes written so far"));
  if (Status s = file_.WriteAt(offset, bytes); !s) return Failed(s);
  return Status::Ok();
}

Status AtomicFile::CopyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
  if (Status s = file_.CopyFrom(source, offset, length); !s) return Failed(s);
  written_ += length;
  return Status::Ok();
}

Status AtomicFile::Commit() {
  // Synced first: after a crash the target is the old file or the new one, never a torn one.
  if (Status s = file_.Sync(); !s) return Failed(s);
  // Read from the file itself, before it goes anywhere: the version the target will be.
  auto stamp = file_.Stamp();
  if (!stamp) return Failed(stamp.status());
  stamp_ = *stamp;
  if (Status s = file_.Close(); !s) return Failed(s);
  if (Status s = Rename(); !s) return s;
  if (Status s = SyncFolder(replaced_.parent_path()); !s)
    return Status::Error(ErrorKind::Io,
                         Str(PathToUtf8(target_), " was written, but its folder could not be synced (",
                             s.message(), "): a crash now could bring back the earlier file"),
                         InFile(target_));
  return Status::Ok();
}

Status AtomicFile::Finish() {
  // Where the file system cannot be synced at once, each file is, before it closes.
  if (FilesSyncOneByOne())
    if (Status s = file_.Sync(); !s) return Failed(s);
  if (Status s = file_.Close(); !s) return Failed(s);
  return Status::Ok();
}

Status AtomicFile::Rename() {
  if (Status moved = MoveOver(temp_, replaced_); !moved) {
    Discard();
    return Status::Error(ErrorKind::Io, Str("cannot replace ", PathToUtf8(target_), ": ", moved.message()),
                         InFile(target_));
  }
  done_ = true;
  return Status::Ok();
}

std::vector<Status> AtomicFile::CommitAll(std::span<AtomicFile> files) {
  std::vector<Status> results(files.size(), Status::Ok());
  std::vector<std::filesystem::path> folders;
  for (const AtomicFile& f : files) {
    std::filesystem::path folder = f.replaced_.parent_path();
    if (!f.done_ && std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(std::move(folder));
  }
  for (const auto& folder : folders)
    if (Status s = SyncFileSystemOf(folder); !s) {
      // Nothing is renamed over a target unless its bytes are on the disk.
      for (std::size_t i = 0; i < files.size(); ++i) results[i] = files[i].Failed(s);
      return results;
    }
  for (std::size_t i = 0; i < files.size(); ++i)
    if (!files[i].done_) results[i] = files[i].Rename();
  for (const auto& folder : folders)
    if (Status s = SyncFolder(folder); !s)
      for (Status& r : results)
        if (r) r = Status::Error(ErrorKind::Io,
                                 Str("the folder ", PathToUtf8(folder), " could not be synced (",
                                     s.message(), "): a crash now could bring back earlier files"),
                                 InFile(folder));
  return results;
}

}  // namespace Orvane
