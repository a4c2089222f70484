#pragma once
// The bank engine: one loaded bank (its whole file image and a copy of every header), and the
// operations on it. Every operation answers with a Status whose message says what went wrong
// and where.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BankCreator.h"
#include "PageBuffer.h"
#include "Reporter.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

class CSoundEditor {
 public:
  // Loads the bank at `file`. A file that cannot be read or is not a bank leaves the bank
  // loaded before as it was; a bank whose count is 0 leaves the editor empty.
  Status LoadBank(const std::filesystem::path& file);
  void Clear();

  // The loaded bank: its sounds, numbered 0 to Count() - 1.
  std::uint32_t Count() const { return m_Count; }
  bool Loaded() const { return m_Count > 0; }
  // Sound `index` < Count().
  const BankEntry& Entry(std::uint32_t index) const { return m_Entries[index]; }
  // The loaded file as it was read.
  std::span<const std::uint8_t> FileBytes() const { return {m_pFileBuffer.data(), m_pFileBuffer.size()}; }
  std::uint32_t FileSize() const { return m_FileSize; }

  // Writes sound `index` as "<index>_<name>.wav" into the working directory's output folder,
  // or into `folder`, creating the folder when it is missing.
  Status Export(std::uint32_t index);
  Status ExportTo(std::uint32_t index, const std::filesystem::path& folder);
  // Exports several sounds into `folder` with one sync of the disk for all of them; one answer
  // per index, and each file written whole or not at all.
  std::vector<Status> ExportEach(std::span<const std::uint32_t> indexes,
                                 const std::filesystem::path& folder);

  // Starts playing sound `index` and returns at once.
  Status Play(std::uint32_t index);
  // The WAVE header and sample data of sound `index` as one image: what Export writes.
  Result<std::vector<std::uint8_t>> BuildPlayImage(std::uint32_t index) const;

  // Builds a bank at `file` from the numbered WAVE files of the output folder, or of `folder`.
  // The loaded bank is neither read nor changed.
  Status CreateBank(const std::filesystem::path& file);
  Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& file,
                        const CreateOptions& options = {});

  // Where the progress lines and warnings of bank creation go; the console by default.
  void SetReporter(Reporter reporter) { report_ = std::move(reporter); }

  // The sample bytes of sound `index`; fails for an index past the end or a damaged entry.
  Result<std::span<const std::uint8_t>> SampleData(std::uint32_t index) const;

 private:
  Result<AtomicFile> WriteExport(std::uint32_t index, const std::filesystem::path& folder) const;
  // m_Count is always m_Entries.size(); both are set together in LoadBank and Clear only.
  std::uint32_t m_Count = 0;
  std::vector<BankEntry> m_Entries;
  PageBuffer m_pFileBuffer;  // the whole bank file; empty when no bank is loaded
  std::uint32_t m_FileSize = 0;
  Reporter report_ = ReportToConsole;
};

}  // namespace Orvane
