#include "EntryCells.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <iomanip>

#include "CodePage.h"
#include "Text.h"

namespace Orvane {
namespace {

std::string Number(std::uint32_t value, int base = 10) {
  char digits[16];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value, base).ptr;
  return std::string(digits, end);
}

std::string HexOffset(std::uint32_t offset) {
  std::string hex = Number(offset, 16);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (hex.size() < 2) hex.insert(0, 2 - hex.size(), '0');
  return hex;
}

}  // namespace

std::string CellText(std::uint32_t index, const BankEntry& element, std::size_t column) {
  const TbSoundEntry& e = element.Entry;
  switch (column) {
    case 0: return Number(index);
    case kOffsetColumn: return HexOffset(element.Offset);
    case 2: return Number(e.HeaderSize);
    case 3: return Number(e.DataSize);
    case kNameColumn: return Cp1252ToUtf8(e.NameBytes());
    case 5: return Number(e.SampleRate);
    case 6: return Number(e.BitsPerSample);
    case 7: return Number(e.NumChannels);
    case 8: return Number(e.Unknown);
    case 9: return Number(e.LoopStart);
    case 10: return Number(e.LoopEnd);
    default: return {};
  }
}

EntryCells CellsOf(std::uint32_t index, const BankEntry& element) {
  EntryCells cells;
  for (std::size_t c = 0; c < kColumnCount; ++c) cells[c] = CellText(index, element, c);
  return cells;
}

std::string LevelText(double decibels) {
  // Levels are of samples, never above full scale: the only infinity is silence's.
  if (std::isinf(decibels)) return "-inf";
  return Str(std::fixed, std::setprecision(1), decibels);
}

}  // namespace Orvane
