#include "SoundExport.h"

#include <system_error>

#include "AtomicFile.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "SoundFileName.h"
#include "Text.h"
#include "Wave.h"

namespace Orvane {
namespace {

// `failure` as the reason sound `index` was not exported into `file`.
Status ExportFailure(const Status& failure, std::uint32_t index, const std::filesystem::path& file) {
  Where where = InFile(file);
  where.Sound = index;
  return failure.Prefixed(Str("cannot export sound ", index, ": ")).At(where);
}

// Written whole or not at all: a cut-off file would be packed later as if it were whole, and
// a failure must not cost the file an earlier export made.
Result<AtomicFile> WriteExport(const CSoundEditor& bank, std::uint32_t index,
                               const std::filesystem::path& folder) {
  auto samples = bank.SampleData(index);
  if (!samples) return Result<AtomicFile>(samples.status().Prefixed("cannot export: "));
  const TbSoundEntry& entry = bank.Entry(index).Entry;
  const std::filesystem::path file = folder / ExportFileName(index, entry);
  const auto fail = [&](const Status& s) { return Result<AtomicFile>(ExportFailure(s, index, file)); };
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec)
    return fail(Status::Error(ErrorKind::Io, Str("the folder of ", PathToUtf8(file),
                                                 " cannot be created: ", ec.message())));
  auto out = AtomicFile::Create(file);
  if (!out) return fail(out.status());
  if (Status s = out->Write(WAVE::FromEntry(entry).Encode()); !s) return fail(s);
  if (Status s = out->Write(*samples); !s) return fail(s);
  return out;
}

}  // namespace

Result<std::vector<std::uint8_t>> SoundImage(const CSoundEditor& bank, std::uint32_t index) {
  auto samples = bank.SampleData(index);
  if (!samples) return Result<std::vector<std::uint8_t>>(samples.status());
  const auto header = WAVE::FromEntry(bank.Sound(index).Element.Entry).Encode();
  std::vector<std::uint8_t> image;
  image.reserve(header.size() + samples->size());
  image.insert(image.end(), header.begin(), header.end());
  image.insert(image.end(), samples->begin(), samples->end());
  return image;
}

Status ExportSound(const CSoundEditor& bank, std::uint32_t index, const std::filesystem::path& folder) {
  auto out = WriteExport(bank, index, folder);
  if (!out) return out.status();
  return ExportFailure(out->Commit(), index, out->Target());
}

std::vector<Status> ExportSounds(const CSoundEditor& bank, std::span<const std::uint32_t> indexes,
                                 const std::filesystem::path& folder) {
  std::vector<Status> results(indexes.size(), Status::Ok());
  std::vector<AtomicFile> written;
  std::vector<std::size_t> which;
  for (std::size_t k = 0; k < indexes.size(); ++k) {
    auto out = WriteExport(bank, indexes[k], folder);
    if (out) {
      results[k] = ExportFailure(out->Finish(), indexes[k], out->Target());
      if (!results[k]) continue;
      written.push_back(std::move(*out));
      which.push_back(k);
    } else {
      results[k] = out.status();
    }
  }
  const std::vector<Status> committed = AtomicFile::CommitAll(written);
  for (std::size_t w = 0; w < which.size(); ++w)
    results[which[w]] = ExportFailure(committed[w], indexes[which[w]], written[w].Target());
  return results;
}

std::string ExportSummary(std::uint32_t index, const TbSoundEntry& entry,
                          const std::filesystem::path& folder) {
  return Str("Exported sound ", index, " to ", PathToUtf8(folder / ExportFileName(index, entry)));
}

std::string ExportSummary(std::span<const Status> results, const std::filesystem::path& folder) {
  std::size_t failures = 0;
  const Status* last = nullptr;
  for (const Status& result : results)
    if (!result) ++failures, last = &result;
  if (failures == 0)
    return Str("Exported ", results.size(), results.size() == 1 ? " sound to " : " sounds to ",
               PathToUtf8(folder));
  if (failures == 1) return last->message();
  return Str(failures, " sounds were not exported; the last: ", last->message());
}

}  // namespace Orvane
