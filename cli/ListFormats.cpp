#include "ListFormats.h"

#include <algorithm>
#include <vector>

#include "EntryCells.h"

namespace Orvane::Cli {
namespace {

constexpr std::string_view kColumnGap = "  ";
// Enough for one line of any listing: eleven numbers and a name of 16 characters.
constexpr std::size_t kLineEstimate = 128;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsContinuationByte(c); }));
}

// C0 controls, DEL, and the C1 controls (U+0080..U+009F, encoded C2 80..C2 9F) become '?'.
std::string TerminalText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x20 || c == 0x7F) {
      out += '?';
    } else if (c == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      out += '?';
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void AppendPadded(std::string& out, std::string_view cell, std::size_t width, bool alignLeft) {
  const std::size_t padding = width - CharacterCount(cell);
  if (!alignLeft) out.append(padding, ' ');
  out += cell;
  if (alignLeft) out.append(padding, ' ');
}

void AppendTableRow(std::string& out, const EntryCells& cells,
                    const std::array<std::size_t, kColumnCount>& widths) {
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += kColumnGap;
    AppendPadded(out, cells[c], widths[c], c == kNameColumn);
  }
  out += '\n';
}

}  // namespace

void AppendCsvCell(std::string& out, std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += cell;
    return;
  }
  out += '"';
  for (char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string CsvList(std::span<const BankEntry> entries) {
  std::string out;
  out.reserve((entries.size() + 1) * kLineEstimate);
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += ',';
    out += kColumnTitles[c];
  }
  out += '\n';
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    const EntryCells cells = CellsOf(i, entries[i]);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      if (c > 0) out += ',';
      AppendCsvCell(out, cells[c]);
    }
    out += '\n';
  }
  return out;
}

std::string TableList(std::span<const BankEntry> entries) {
  EntryCells titles;
  std::array<std::size_t, kColumnCount> widths{};
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    titles[c] = kColumnTitles[c];
    widths[c] = titles[c].size();
  }
  std::vector<EntryCells> rows;
  rows.reserve(entries.size());
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    EntryCells cells = CellsOf(i, entries[i]);
    cells[kNameColumn] = TerminalText(cells[kNameColumn]);
    for (std::size_t c = 0; c < kColumnCount; ++c)
      widths[c] = std::max(widths[c], CharacterCount(cells[c]));
    rows.push_back(std::move(cells));
  }
  std::string out;
  out.reserve((entries.size() + 1) * kLineEstimate);
  AppendTableRow(out, titles, widths);
  for (const EntryCells& row : rows) AppendTableRow(out, row, widths);
  return out;
}

std::string JsonList(std::span<const BankEntry> entries) {
  std::string out;
  out.reserve((entries.size() + 1) * 2 * kLineEstimate);
  out += '[';
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    EntryCells cells = CellsOf(i, entries[i]);
    // JSON has no hexadecimal numbers: the offset goes out in decimal.
    cells[kOffsetColumn] = std::to_string(entries[i].Offset);
    out += i == 0 ? "\n  {" : ",\n  {";
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      if (c > 0) out += ", ";
      AppendJsonString(out, kColumnTitles[c]);
      out += ": ";
      if (c == kNameColumn)
        AppendJsonString(out, cells[c]);
      else
        out += cells[c];
    }
    out += '}';
  }
  out += entries.empty() ? "]\n" : "\n]\n";
  return out;
}

std::string FormatList(std::span<const BankEntry> entries, ListFormat format) {
  switch (format) {
    case ListFormat::Csv: return CsvList(entries);
    case ListFormat::Json: return JsonList(entries);
    case ListFormat::Table: break;
  }
  return TableList(entries);
}

}  // namespace Orvane::Cli
