#include "ListFormats.h"

#include <algorithm>
#include <vector>

#include "EntryCells.h"

namespace Orvane::Cli {
namespace {

// Enough for one line of any listing: eleven numbers and a name of 16 characters.
constexpr std::size_t kLineEstimate = 128;

void AppendTableRow(std::string& out, const EntryCells& cells,
                    const std::array<std::size_t, kColumnCount>& widths) {
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += kColumnGap;
    AppendPadded(out, cells[c], widths[c], c == kNameColumn);
  }
  out += '\n';
}

}  // namespace

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
