#include <system_error>

#include "File.h"
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
  const std::filesystem::path file = folder / ExportFileName(index, m_Entries[index].Entry);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    return Status::Error(Str("cannot export sound ", index, " to ", file.string(),
                             ": the folder cannot be created: ", ec.message()));
  const auto fail = [&](const std::string& reason) {
    return Status::Error(Str("cannot export sound ", index, " to ", file.string(), ": ", reason));
  };
  OutputFile out;
  if (std::string failed = out.Create(file); !failed.empty()) return fail(failed);
  const auto header = WAVE::FromEntry(m_Entries[index].Entry).Encode();
  std::string failed = out.Write(header);
  if (failed.empty()) failed = out.Write(*samples);
  if (failed.empty()) failed = out.Close();
  if (!failed.empty()) {
    // A cut-off file would be packed later as if it were whole.
    (void)out.Close();
    std::filesystem::remove(file, ec);
    return fail(failed);
  }
  return Status::Ok();
}

}  // namespace Orvane
