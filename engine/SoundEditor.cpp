#include "SoundEditor.h"


#include <new>

#include "BankCreator.h"
#include "BankHeaders.h"
#include "ByteSource.h"
#include "File.h"
#include "SoundFileName.h"
#include "Text.h"
#include "Wave.h"
#include "WorkingDirectory.h"

namespace Orvane {
namespace {

// The whole file in a fresh buffer, read with one request.
Result<PageBuffer> ReadWholeFile(const std::filesystem::path& file) {
  auto source = FileSource::Open(file);
  if (!source) return Result<PageBuffer>(source.status());
  if (Status fits = CheckBankFileSize(source->Size()); !fits) return Result<PageBuffer>(fits);
  PageBuffer buffer;
  try {
    buffer = PageBuffer(static_cast<std::size_t>(source->Size()));
  } catch (const std::bad_alloc&) {
    return Result<PageBuffer>::Error(
        ErrorKind::TooLarge,
        Str("its ", source->Size(), " bytes do not fit in the memory this program can have"));
  }
  if (!source->ReadAt(0, std::span(buffer.data(), buffer.size())))
    return Result<PageBuffer>::Error(
        Str("its ", source->Size(), " bytes could not all be read (did it shrink meanwhile?)"));
  return buffer;
}

}  // namespace

Status CSoundEditor::LoadBank(const std::filesystem::path& file) {
  auto buffer = ReadWholeFile(file);
  if (!buffer) return BankOpenFailure(file, buffer.status());
  auto bank = ParseBank(std::span<const std::uint8_t>(buffer->data(), buffer->size()));
  if (!bank) {
    if (bank.kind() == ErrorKind::NoSounds) Clear();
    return BankOpenFailure(file, bank.status());
  }

  m_Entries = std::move(bank->Entries);
  m_Count = static_cast<std::uint32_t>(m_Entries.size());
  m_FileSize = static_cast<std::uint32_t>(buffer->size());
  m_pFileBuffer = std::move(*buffer);
  return Status::Ok();
}

void CSoundEditor::Clear() {
  m_pFileBuffer.reset();
  m_Entries.clear();
  m_Count = 0;
  m_FileSize = 0;
}

Result<std::span<const std::uint8_t>> CSoundEditor::SampleData(std::uint32_t index) const {
  using Span = Result<std::span<const std::uint8_t>>;
  if (index >= m_Entries.size())
    return Span::Error(m_Entries.empty()
                           ? Str("there is no sound ", index, ": no bank is loaded")
                           : Str("there is no sound ", index, ": the bank has ", m_Entries.size(),
                                 " sounds, numbered 0 to ", m_Entries.size() - 1));
  const BankEntry& element = m_Entries[index];
  if (element.Damaged()) return Span::Error(Str("sound ", index, " is damaged: ", element.Damage));
  // An entry that is not damaged lies inside the buffer: checked at load.
  return std::span<const std::uint8_t>(
      m_pFileBuffer.data() + std::uint64_t{element.Offset} + element.Entry.HeaderSize,
      element.Entry.DataSize);
}

Result<std::vector<std::uint8_t>> CSoundEditor::BuildPlayImage(std::uint32_t index) const {
  auto samples = SampleData(index);
  if (!samples) return Result<std::vector<std::uint8_t>>(samples.status());
  const auto header = WAVE::FromEntry(m_Entries[index].Entry).Encode();
  std::vector<std::uint8_t> image;
  image.reserve(header.size() + samples->size());
  image.insert(image.end(), header.begin(), header.end());
  image.insert(image.end(), samples->begin(), samples->end());
  return image;
}

Status CSoundEditor::CreateBank(const std::filesystem::path& file) {
  return CreateBankFrom(OutputFolder(), file);
}

Status CSoundEditor::CreateBankFrom(const std::filesystem::path& folder,
                                    const std::filesystem::path& file,
                                    const CreateOptions& options) {
  return Orvane::CreateBankFrom(folder, file, report_, options);
}

}  // namespace Orvane
