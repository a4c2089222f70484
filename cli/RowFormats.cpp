#include "RowFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "Text.h"

namespace Orvane::Cli {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

const std::map<std::string, ListFormat>& Formats() {
  static const std::map<std::string, ListFormat> formats = {
      {"table", ListFormat::Table}, {"csv", ListFormat::Csv}, {"json", ListFormat::Json}};
  return formats;
}

// A cell as JSON: a number as it is, null where a number column holds none.
void AppendJsonCell(std::string& out, const std::optional<std::string>& cell, CellKind kind) {
  if (!cell) {
    out += "null";
  } else if (kind == CellKind::Text) {
    AppendJsonString(out, *cell);
  } else {
    double value = 0;
    const auto [end, error] = std::from_chars(cell->data(), cell->data() + cell->size(), value);
    const bool number = error == std::errc() && end == cell->data() + cell->size() && std::isfinite(value);
    out += number ? *cell : "null";
  }
}

}  // namespace

CLI::Option* AddListFormatOption(CLI::App& command, std::string& format) {
  return command.add_option("--format", format, "How to print the list")
      ->check(CLI::IsMember(Formats()))
      ->capture_default_str();
}

ListFormat ListFormatNamed(const std::string& name) { return Formats().at(name); }

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

std::string FormatRows(std::span<const RowColumn> columns, std::span<const RowCells> rows,
                       ListFormat format) {
  std::string out;
  if (format == ListFormat::Json) {
    out += '[';
    for (std::size_t r = 0; r < rows.size(); ++r) {
      out += r == 0 ? "\n  {" : ",\n  {";
      for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out += ", ";
        AppendJsonString(out, columns[c].Title);
        out += ": ";
        AppendJsonCell(out, rows[r][c], columns[c].Kind);
      }
      out += '}';
    }
    out += rows.empty() ? "]\n" : "\n]\n";
    return out;
  }
  if (format == ListFormat::Csv) {
    for (std::size_t c = 0; c < columns.size(); ++c) out += Str(c > 0 ? "," : "", columns[c].Title);
    out += '\n';
    for (const RowCells& row : rows) {
      for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out += ',';
        if (row[c]) AppendCsvCell(out, *row[c]);
      }
      out += '\n';
    }
    return out;
  }
  std::vector<std::vector<std::string>> cells(rows.size() + 1);
  std::vector<std::size_t> widths(columns.size());
  for (std::size_t c = 0; c < columns.size(); ++c) cells[0].emplace_back(columns[c].Title);
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < columns.size(); ++c)
      cells[r + 1].push_back(rows[r][c] ? TerminalText(*rows[r][c]) : std::string());
  for (const auto& line : cells)
    for (std::size_t c = 0; c < columns.size(); ++c)
      widths[c] = std::max(widths[c], CharacterCount(line[c]));
  for (const auto& line : cells) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out += kColumnGap;
      // A text at the end of a line needs no padding after it.
      const bool last = c + 1 == columns.size() && columns[c].Kind == CellKind::Text;
      AppendPadded(out, line[c], last ? CharacterCount(line[c]) : widths[c],
                   columns[c].Kind == CellKind::Text);
    }
    out += '\n';
  }
  return out;
}

}  // namespace Orvane::Cli
