#pragma once
// Rows of cells as text, for the listings of levels and diff: aligned columns for a terminal,
// CSV, or JSON, each built in one string so that it can be written at once. list, whose bank
// may hold a million sounds, writes its rows through the pieces below without a cell per value.
#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

namespace Orvane::Cli {

enum class ListFormat { Table, Csv, Json };

// Adds --format table|csv|json to `command`, stored by name in `format` ("table" by default).
CLI::Option* AddListFormatOption(CLI::App& command, std::string& format);
ListFormat ListFormatNamed(const std::string& name);

// What stands between two columns of a table.
inline constexpr std::string_view kColumnGap = "  ";

enum class CellKind {
  Text,    // left-aligned in a table; a JSON string
  Number,  // right-aligned; a JSON number, or null where it is none ("-inf")
};

struct RowColumn {
  std::string_view Title;
  CellKind Kind = CellKind::Number;
};

// One row's cells in column order; nothing where there is no value: an empty cell in a table
// and in CSV, null in JSON.
using RowCells = std::vector<std::optional<std::string>>;

// A header of the titles, then a row a line; CSV quotes cells as RFC 4180 does, a table shows
// control characters in texts as '?'; JSON is an array of one object a row.
std::string FormatRows(std::span<const RowColumn> columns, std::span<const RowCells> rows,
                       ListFormat format);

// The pieces of every format, for listings built their own way.
void AppendCsvCell(std::string& out, std::string_view cell);
// `utf8` as a quoted JSON string: quote, backslash and control characters escaped.
void AppendJsonString(std::string& out, std::string_view utf8);
// C0 and C1 controls and DEL as '?', so that a text cannot break a table or drive a terminal.
std::string TerminalText(std::string_view utf8);
std::size_t CharacterCount(std::string_view utf8);
void AppendPadded(std::string& out, std::string_view cell, std::size_t width, bool alignLeft);

}  // namespace Orvane::Cli
