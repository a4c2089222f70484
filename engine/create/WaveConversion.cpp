#include "WaveConversion.h"

#include "AtomicFile.h"
#include "PathUtf8.h"
#include "Text.h"
#include "Wave.h"

namespace Orvane {
namespace {

std::array<std::uint8_t, WAVE::kSize> HeaderOf(const WrittenWave& written) {
  TbSoundEntry entry;
  written.Format.ApplyTo(entry);
  entry.DataSize = written.DataSize;
  return WAVE::FromEntry(entry).Encode();
}

}  // namespace

Result<WrittenWave> ConvertToWave(const std::filesystem::path& file,
                                  const std::filesystem::path& out, const FormatRequest& request,
                                  const Reporter& report) {
  const std::string where = PathToUtf8(file) + ": ";
  auto checked = CheckSoundFile(file, report);
  if (!checked) return Result<WrittenWave>(checked.status().Prefixed(where).At(InFile(file)));
  auto target = AtomicFile::Create(out);
  if (!target) return Result<WrittenWave>(target.status());

  WrittenWave written;
  // The header's sizes are known only at the end: room for it first, the real one after.
  if (Status s = target->Write(std::array<std::uint8_t, WAVE::kSize>{}); !s) return Result<WrittenWave>(s);
  auto imported = ImportSamples(*checked, request, [&](std::span<const std::uint8_t> bytes) {
    return target->Write(bytes);
  });
  if (!imported) return Result<WrittenWave>(imported.status().Prefixed(where).At(InFile(file)));
  written.Format = imported->Format;
  written.DataSize = imported->DataSize;
  written.Copied = imported->Copied;
  ReportConversion(report, PathToUtf8(file), *imported);
  if (Status s = target->WriteAt(0, HeaderOf(written)); !s) return Result<WrittenWave>(s);
  if (Status s = target->Commit(); !s) return Result<WrittenWave>(s);
  return written;
}

}  // namespace Orvane
