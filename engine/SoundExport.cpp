#include <system_error>

#include "AtomicFile.h"
#include "SoundEditor.h"
#include "SoundFileName.h"
#include "Text.h"
#include "Wave.h"
#include "WorkingDirectory.h"

namespace Orvane {

Status CSoundEditor::Export(std::uint32_t index) { return ExportTo(index, OutputFolder()); }

Status CSoundEditor::ExportTo(std::uint32_t index, const std::filesystem::path& folder) {
  auto samples = SampleData(index);
  if (!samples) return Status::Error(Str("cannot export: ", samples.message()));
  const TbSoundEntry& entry = Entry(index).Entry;
  const std::filesystem::path file = folder / ExportFileName(index, entry);
  Where where = InFile(file);
  where.Sound = index;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    return Status::Error(ErrorKind::Io,
                         Str("cannot export sound ", index, " to ", file.string(),
                             ": the folder cannot be created: ", ec.message()),
                         where);
  // Written whole or not at all: a cut-off file would be packed later as if it were whole, and
  // a failure must not cost the file an earlier export made.
  const auto written = [&]() -> Status {
    auto out = AtomicFile::Create(file);
    if (!out) return out.status();
    if (Status s = out->Write(WAVE::FromEntry(entry).Encode()); !s) return s;
    if (Status s = out->Write(*samples); !s) return s;
    return out->Commit();
  }();
  return written.Prefixed(Str("cannot export sound ", index, ": ")).At(where);
}

}  // namespace Orvane
