#include "WaveConversion.h"

#include "AtomicFile.h"
#include "ByteSource.h"
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

// The data chunk of a fitting WAVE file, unchanged.
Status CopySamples(const SoundFile& file, AtomicFile& out) {
  auto source = FileSource::Open(file.Path);
  if (!source) return Status::Error(ErrorKind::Io, Str("cannot be read any more: ", source.message()));
  return out.CopyFrom(source->File(), file.Wave->DataOffset, file.Wave->DataSize);
}

}  // namespace

Result<WrittenWave> ConvertToWave(const std::filesystem::path& file,
                                  const std::filesystem::path& out, const FormatRequest& request,
                                  const Reporter& report) {
  const std::string where = file.string() + ": ";
  auto checked = CheckSoundFile(file, report);
  if (!checked) return Result<WrittenWave>(checked.status().Prefixed(where));
  auto target = AtomicFile::Create(out);
  if (!target) return Result<WrittenWave>(target.status());

  WrittenWave written;
  // The header's sizes are known only at the end: room for it first, the real one after.
  if (Status s = target->Write(std::array<std::uint8_t, WAVE::kSize>{}); !s) return Result<WrittenWave>(s);
  if (checked->CopiesUnchanged(request)) {
    written.Format = checked->TargetFor(request, checked->Wave->NumChannels);
    written.DataSize = checked->Wave->DataSize;
    written.Copied = true;
    if (Status s = CopySamples(*checked, *target); !s) return Result<WrittenWave>(s.Prefixed(where));
  } else {
    auto converted = ConvertSound(*checked, request, [&](std::span<const std::uint8_t> bytes) {
      return target->Write(bytes);
    });
    if (!converted) return Result<WrittenWave>(converted.status().Prefixed(where));
    written.Format = converted->Format;
    written.DataSize = converted->DataSize;
    ReportConversion(report, file.string(), *converted);
  }
  if (Status s = target->WriteAt(0, HeaderOf(written)); !s) return Result<WrittenWave>(s);
  if (Status s = target->Commit(); !s) return Result<WrittenWave>(s);
  return written;
}

}  // namespace Orvane
