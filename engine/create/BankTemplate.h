#pragma once
// The bank that a new bank is made like, usually the one its files were exported from. Each
// new sound takes from the old sound of its number what a WAVE file cannot carry: Unknown,
// LoopStart, LoopEnd, the extra header bytes, a half-hertz rate and a name that no file name
// can hold. Export followed by creation like the old bank gives a packed bank back, byte for
// byte.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "ByteSource.h"
#include "Reporter.h"
#include "SoundFileName.h"
#include "SoundImport.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

class BankTemplate {
 public:
  // Holds no sounds: every sound is made from its file alone.
  BankTemplate() = default;
  // Reads the count, the table and the headers of the bank at `file`, and keeps it open for
  // its extra header bytes; fails with the reason when it cannot be opened as a bank.
  static Result<BankTemplate> Open(const std::filesystem::path& file);

  // What a file for sound `index` is converted to: the old sound's format, but for the fields
  // `asked` gives. A file whose rate, `fileHz` when known before decoding, is the old rate
  // rounded down keeps it: TakeRate gives the half hertz back without resampling.
  FormatRequest RequestFor(std::uint32_t index, const FormatRequest& asked,
                           std::optional<std::uint32_t> fileHz) const;

  // Gives `header`, whose rate is final, the old sound's exact rate when that rounds down to
  // it and no rate was asked.
  void TakeRate(std::uint32_t index, const FormatRequest& asked, TbSoundEntry& header) const;

  // Gives `header` the old sound's Unknown, LoopStart, LoopEnd and HeaderSize, and all 16 of
  // its name bytes when `namePart` (the file name's, UTF-8) is what export made of its name.
  // A HeaderSize whose extra bytes do not lie in the old bank becomes 40, with a warning
  // naming `file`.
  void TakeFields(std::uint32_t index, const std::string& namePart, const std::string& file,
                  TbSoundEntry& header, const Reporter& report) const;

  // Writes the old sound's extra header bytes that TakeFields counted in the HeaderSize.
  Status CopyExtraHeader(std::uint32_t index, AtomicFile& out) const;

 private:
  const BankEntry* Sound(std::uint32_t index) const;
  // Why the old sound's HeaderSize cannot be kept; empty when it can.
  std::string HeaderSizeLoss(const BankEntry& sound) const;

  std::filesystem::path path_;
  std::optional<FileSource> source_;
  std::vector<BankEntry> sounds_;
};

}  // namespace Orvane
