#include "EntryCells.h"

#include <cctype>
#include <charconv>

#include "CodePage.h"

namespace Orvane::Cli {
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

EntryCells CellsOf(std::uint32_t index, const BankEntry& element) {
  const TbSoundEntry& e = element.Entry;
  return {Number(index),
          HexOffset(element.Offset),
          Number(e.HeaderSize),
          Number(e.DataSize),
          Cp1252ToUtf8(e.NameBytes()),
          Number(e.SampleRate),
          Number(e.BitsPerSample),
          Number(e.NumChannels),
          Number(e.Unknown),
          Number(e.LoopStart),
          Number(e.LoopEnd)};
}

}  // namespace Orvane::Cli
