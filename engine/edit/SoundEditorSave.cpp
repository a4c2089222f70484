// Saving the edited bank: refused while it has damaged sounds or when the file it would
// replace changed since it was loaded; written atomically, so a failure leaves the target as
// it was and every edit still in memory.
#include <system_error>

#include "AtomicFile.h"
#include "BankWriter.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "Text.h"

namespace Orvane {
namespace {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec1, ec2;
  const auto ca = std::filesystem::weakly_canonical(a, ec1);
  const auto cb = std::filesystem::weakly_canonical(b, ec2);
  return !ec1 && !ec2 ? ca == cb : a == b;
}

}  // namespace

Status CSoundEditor::CheckSaveTarget(const std::filesystem::path& target,
                                     const SaveOptions& options) const {
  std::vector<std::uint32_t> damaged;
  for (std::uint32_t i = 0; i < m_Count; ++i)
    if (m_Entries[i].Element.Damaged()) damaged.push_back(i);
  if (!damaged.empty()) {
    std::string list;
    for (std::size_t k = 0; k < damaged.size() && k < 10; ++k)
      list += Str(k == 0 ? "" : ", ", damaged[k]);
    if (damaged.size() > 10) list += Str(" and ", damaged.size() - 10, " more");
    return Status::Error(
        ErrorKind::Damaged,
        Str("cannot save ", PathToUtf8(target), ": ", damaged.size() == 1 ? "sound " : "sounds ", list,
            damaged.size() == 1 ? " is" : " are", " damaged (",
            m_Entries[damaged[0]].Element.Damage, "); replace or remove ",
            damaged.size() == 1 ? "it" : "them", " first"),
        {PathToUtf8(target), damaged[0], {}});
  }
  if (options.Force || !SameFile(target, path_)) return Status::Ok();
  auto now = StampOf(target);
  if (!now) return Status::Error(now.kind(), Str("cannot save ", PathToUtf8(target), ": ", now.message()),
                                 {PathToUtf8(target)});
  // A file that is gone holds nothing that saving could lose.
  if (*now && !(**now == stamp_))
    return Status::Error(ErrorKind::ChangedOnDisk,
                         Str("cannot save ", PathToUtf8(target),
                             ": another program changed it since it was loaded; save it under "
                             "another name, or force the save to overwrite those changes"),
                         {PathToUtf8(target)});
  return Status::Ok();
}

Status CSoundEditor::Save(const std::filesystem::path& target, const SaveOptions& options) {
  if (!m_pFileBuffer) return Status::Error(ErrorKind::NotFound, "cannot save: no bank is loaded");
  if (Status s = CheckSaveTarget(target, options); !s) return s;
  auto plan = PlanBank(*m_pFileBuffer, m_Entries);
  if (!plan) return plan.status().Prefixed(Str("cannot save ", PathToUtf8(target), ": "));
  auto file = AtomicFile::Create(target);
  if (!file) return file.status();
  if (Status s = file->Write(EncodeTable(plan->Offsets)); !s) return s;
  for (const auto& bytes : plan->Body)
    if (Status s = file->Write(bytes); !s) return s;
  if (file->BytesWritten() != plan->Size)
    return Status::Error(ErrorKind::Failed,
                         Str("cannot save ", PathToUtf8(target), ": ", file->BytesWritten(),
                             " bytes were laid out instead of ", plan->Size),
                         {PathToUtf8(target)});
  if (Status s = file->Commit(); !s) return s;

  path_ = target;
  stamp_ = file->Written();
  layout_.Show(*m_pFileBuffer, m_Entries, *plan);
  history_.MarkSaved();
  return Status::Ok();
}

}  // namespace Orvane
