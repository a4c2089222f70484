#pragma once
// The texts of one row of the sound list, one per column: what the main window shows and every
// listing of the tool (table, csv, json) prints, made in this one place.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "TbSoundBank.h"

namespace Orvane {

inline constexpr std::size_t kColumnCount = 11;
inline constexpr std::size_t kOffsetColumn = 1;
inline constexpr std::size_t kNameColumn = 4;

inline constexpr std::array<std::string_view, kColumnCount> kColumnTitles = {
    "Index",         "Offset",      "HeaderSize", "DataSize",  "Name",   "SampleRate",
    "BitsPerSample", "NumChannels", "Unknown",    "LoopStart", "LoopEnd"};

using EntryCells = std::array<std::string, kColumnCount>;

// Decimal numbers, except Offset in upper-case hexadecimal of at least two digits without
// prefix; Name is the name's bytes up to its terminator, Windows-1252 converted to UTF-8.
EntryCells CellsOf(std::uint32_t index, const BankEntry& element);
// One of those cells, for a view that asks cell by cell; empty past the last column.
std::string CellText(std::uint32_t index, const BankEntry& element, std::size_t column);

// A level in dB (a peak in dBFS, a loudness in LUFS) with one decimal; "-inf" for silence.
std::string LevelText(double decibels);

}  // namespace Orvane
