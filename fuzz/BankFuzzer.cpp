// Loads any bytes as a bank, then runs every reader of a loaded bank over it: the list's cells
// and listings, the damage check, export of every sound and the play image of every sound.
// Each reader's answer is checked against the bytes of the input itself, and the header-only
// reads of the bank against the full load.
#include <algorithm>
#include <array>

#include "BankHeaders.h"
#include "BankParser.h"
#include "ByteOrder.h"
#include "ByteSource.h"
#include "EntryCells.h"
#include "FuzzSupport.h"
#include "ListFormats.h"
#include "SoundEditor.h"
#include "SoundExport.h"
#include "SoundFileName.h"
#include "TestFiles.h"
#include "Text.h"
#include "Wave.h"

namespace Orvane::Fuzz {
namespace {

struct Scratch {
  fs::path Folder = ScratchFolder("bank");
  fs::path Bank = Folder / "fuzzed.sdt";
  fs::path Before = Folder / "before.sdt";  // the bank loaded before the fuzzed one
  fs::path Exports = Folder / "export";
  Bytes BeforeBytes = Test::MakeBank({{.Name = "before", .Data = Test::Samples(8)}});

  Scratch() {
    WriteBytes(Before, BeforeBytes);
    fs::create_directories(Exports);
  }
};

// Where an entry's parts lie, by the format's rules, in 64 bits.
std::string ExpectedDamage(std::span<const std::uint8_t> file, const BankEntry& element) {
  const std::uint64_t offset = element.Offset;
  if (offset + TbSoundEntry::kSize > file.size()) return "header";
  if (offset + element.Entry.HeaderSize + element.Entry.DataSize > file.size()) return "data";
  return {};
}

void CheckRefusedLoad(const CSoundEditor& editor, std::span<const std::uint8_t> input,
                      const Scratch& scratch) {
  if (input.size() >= 4 && LoadU32(input.data()) == 0) {
    Require(editor.Count() == 0 && editor.FileBytes().empty() && editor.FileSize() == 0,
            "a bank whose count is 0 leaves the editor empty");
    return;
  }
  Require(editor.Count() == 1 && editor.FileSize() == scratch.BeforeBytes.size() &&
              std::ranges::equal(scratch.BeforeBytes, editor.FileBytes()),
          "a refused bank leaves the bank loaded before");
}

// Reading only the headers, from memory and from the file on disk, finds every entry, its
// cells and its damage as the full load does, or refuses the bank in the same words and kind.
void CheckHeaderReads(const Status& loaded, const CSoundEditor& editor,
                      std::span<const std::uint8_t> input, const Scratch& scratch) {
  MemorySource memory(input);
  const auto fromMemory = ParseBank(memory);
  const auto fromFile = ReadBankHeaders(scratch.Bank);
  if (!loaded) {
    Require(!fromMemory && !fromFile && fromMemory.kind() == loaded.kind() &&
                fromFile.kind() == loaded.kind() && fromFile.message() == loaded.message(),
            "the header reads refuse what the full load refuses, in the same words");
    return;
  }
  Require(fromMemory && fromFile && fromMemory->Count == editor.Count() &&
              fromFile->Count == editor.Count(),
          "the header reads accept what the full load accepts");
  for (std::uint32_t i = 0; i < editor.Count(); ++i)
    Require(fromMemory->Entries[i] == editor.Entry(i) && fromFile->Entries[i] == editor.Entry(i),
            "the header reads find the entries of the full load");
}

void CheckListings(const CSoundEditor& editor) {
  for (std::uint32_t i = 0; i < editor.Count(); ++i) {
    const EntryCells cells = CellsOf(i, editor.Entry(i));
    Require(cells[0] == std::to_string(i), "the first cell is the index");
  }
  std::vector<BankEntry> entries;
  for (std::uint32_t i = 0; i < editor.Count(); ++i) entries.push_back(editor.Entry(i));
  (void)Cli::FormatList(entries, Cli::ListFormat::Csv);
  (void)Cli::FormatList(entries, Cli::ListFormat::Json);
  // Control characters in names show as '?': one line per sound and the titles.
  const std::string table = Cli::FormatList(entries, Cli::ListFormat::Table);
  Require(static_cast<std::size_t>(std::count(table.begin(), table.end(), '\n')) ==
              editor.Count() + 1u,
          "the table has one line per sound");
}

// The image of sound `i` straight from the input: what export writes and playback plays.
Bytes ExpectedImage(std::span<const std::uint8_t> input, const BankEntry& element) {
  const auto header = WAVE::FromEntry(element.Entry).Encode();
  Bytes image(header.begin(), header.end());
  const auto data = input.subspan(std::uint64_t{element.Offset} + element.Entry.HeaderSize,
                                  element.Entry.DataSize);
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

void CheckSound(CSoundEditor& editor, std::span<const std::uint8_t> input, std::uint32_t i,
                const Scratch& scratch) {
  const BankEntry& element = editor.Entry(i);
  const std::string damage = ExpectedDamage(input, element);
  Require(element.Damaged() == !damage.empty(), "damaged exactly when a part lies past the end");

  auto image = SoundImage(editor, i);
  const Status exported = editor.Export(i, scratch.Exports);
  if (element.Damaged()) {
    Require(!image && Mentions(image.message(), Str("sound ", i)), "a damaged sound is not played");
    Require(!exported && Mentions(exported.message(), Str("sound ", i)),
            "a damaged sound is not exported");
    return;
  }
  if (!image) Fail("no play image for sound " + std::to_string(i) + ": " + image.message());
  if (!exported) Fail("sound " + std::to_string(i) + " not exported: " + exported.message());
  Require(*image == ExpectedImage(input, element), "the play image is the sound's bytes");
  const fs::path file = scratch.Exports / ExportFileName(i, element.Entry);
  Require(ReadBytes(file) == *image, "the exported file is the play image");
  fs::remove(file);
}

void ReadBank(std::span<const std::uint8_t> input) {
  static const Scratch scratch;
  WriteBytes(scratch.Bank, input);

  CSoundEditor editor;
  Require(editor.LoadBank(scratch.Before).ok(), "the bank before loads");
  const Status loaded = editor.LoadBank(scratch.Bank);
  CheckHeaderReads(loaded, editor, input, scratch);
  if (!loaded) {
    CheckRefusedLoad(editor, input, scratch);
    return;
  }
  Require(editor.Count() >= 1 && editor.FileSize() == input.size() &&
              editor.FileBytes().size() == input.size(),
          "a loaded bank has one entry per sound and the whole file");
  CheckListings(editor);
  for (std::uint32_t i = 0; i < editor.Count(); ++i) CheckSound(editor, input, i, scratch);
  Require(!SoundImage(editor, editor.Count()) && !editor.Export(editor.Count(), scratch.Exports),
          "an index past the end is refused");
  Require(fs::is_empty(scratch.Exports), "export writes nothing else");
}

}  // namespace
}  // namespace Orvane::Fuzz

ORVANE_FUZZ_TARGET(Orvane::Fuzz::ReadBank)
