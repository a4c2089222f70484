#include "AtomicFile.h"

#include <algorithm>

#include <random>
#include <system_error>
#include <utility>

#include "Text.h"

namespace Orvane {
namespace {

// What a file that did not exist gets, less the umask.
constexpr std::uint32_t kNewFileMode = 0644;
// Names tried before giving up on a folder that seems to hold them all.
constexpr int kTempNameAttempts = 100;

}  // namespace

Result<TempFile> CreateTempBeside(const std::filesystem::path& file, std::uint32_t mode) {
  std::mt19937_64 random{std::random_device{}()};
  std::filesystem::path temp = file;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp.replace_filename(Str('.', file.filename().string(), '.', std::hex, random(), ".tmp"));
    auto created = OutputFile::CreateNew(temp, mode);
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
                                     Str("cannot create ", target.string(), ": ", failure.message()),
                                     InFile(target));
  };
  auto file = ResolveLinks(target);
  if (!file) return fail(file.status());
  auto mode = PermissionsOf(*file);
  if (!mode) return fail(mode.status());
  auto temp = CreateTempBeside(*file, mode->value_or(kNewFileMode));
  if (!temp) return fail(temp.status());
  AtomicFile out(target, std::move(*file), std::move(*temp));
  // The umask came off at the creation; the target's own bits are kept whole.
  if (*mode)
    if (Status kept = out.file_.SetMode(**mode); !kept) return Result<AtomicFile>(out.Failed(kept));
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
  const bool source = !file.empty() && file != temp_.string();
  return Status::Error(source ? failure.kind() : ErrorKind::Io,
                       Str("writing ", target_.string(), " failed after ", written_, " bytes: ",
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
  if (Status s = Finish(); !s) return s;
  if (Status s = Rename(); !s) return s;
  if (Status s = SyncFolder(replaced_.parent_path()); !s)
    return Status::Error(ErrorKind::Io,
                         Str(target_.string(), " was written, but its folder could not be synced (",
                             s.message(), "): a crash now could bring back the earlier file"),
                         InFile(target_));
  return Status::Ok();
}

Status AtomicFile::Finish() {
  if (Status s = file_.Close(); !s) return Failed(s);
  return Status::Ok();
}

Status AtomicFile::Rename() {
  std::error_code ec;
  std::filesystem::rename(temp_, replaced_, ec);
  if (ec) {
    Discard();
    return Status::Error(ErrorKind::Io, Str("cannot replace ", target_.string(), ": ", ec.message()),
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
                                 Str("the folder ", folder.string(), " could not be synced (",
                                     s.message(), "): a crash now could bring back earlier files"),
                                 InFile(folder));
  return results;
}

}  // namespace Orvane
