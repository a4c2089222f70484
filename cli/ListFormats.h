#pragma once
// The sound list as text: aligned columns for a terminal, CSV, or JSON. Each builds the whole
// listing in one string so that it can be written at once.
#include <span>
#include <string>
#include <string_view>

#include "RowFormats.h"
#include "TbSoundBank.h"

namespace Orvane::Cli {

std::string FormatList(std::span<const BankEntry> entries, ListFormat format);

// A header line of the column titles, then one line per sound, "\n" line ends; cells that hold
// a comma, a quote, CR or LF are quoted with their quotes doubled (RFC 4180).
std::string CsvList(std::span<const BankEntry> entries);
// The same cells padded to their column's width in characters; control characters in names
// show as '?' so that a name cannot break the layout or drive the terminal.
std::string TableList(std::span<const BankEntry> entries);
// An array of one object per sound: numbers as JSON numbers (Offset too), Name as a string.
std::string JsonList(std::span<const BankEntry> entries);

}  // namespace Orvane::Cli
