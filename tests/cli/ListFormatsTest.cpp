#include <gtest/gtest.h>

#include <vector>

#include "EntryCells.h"
#include "ListFormats.h"

namespace Orvane::Cli {
namespace {

BankEntry Element(std::uint32_t offset, std::string_view name) {
  BankEntry element;
  element.Offset = offset;
  element.Entry.HeaderSize = 40;
  element.Entry.SetName(name);
  return element;
}

TEST(EntryCells, EveryFieldGoesToItsOwnColumn) {
  BankEntry element = Element(0x1F4, "bell");
  TbSoundEntry& e = element.Entry;
  e.HeaderSize = 41;
  e.DataSize = 42;
  e.SampleRate = 65535;
  e.BitsPerSample = 255;
  e.NumChannels = 3;
  e.Unknown = 4294967295u;
  e.LoopStart = 5;
  e.LoopEnd = 6;
  const EntryCells expected = {"7",   "1F4", "41",         "42", "bell", "65535",
                               "255", "3",   "4294967295", "5",  "6"};
  EXPECT_EQ(CellsOf(7, element), expected);
}

TEST(EntryCells, OffsetIsUpperCaseHexOfAtLeastTwoDigits) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {0, "00"}, {4, "04"}, {12, "0C"}, {152, "98"}, {500, "1F4"}, {0xABCDEF01, "ABCDEF01"}};
  for (const auto& [offset, text] : cases)
    EXPECT_EQ(CellsOf(0, Element(offset, "")).at(kOffsetColumn), text) << offset;
}

TEST(EntryCells, NameIsTheBytesUpToTheTerminatorInUtf8) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},  // all 16 bytes, no terminator
      {"caf\xE9", "caf\xC3\xA9"},
      {"\x80", "\xE2\x82\xAC"},  // the euro sign
      {"\x81", "\xC2\x81"},      // undefined in Windows-1252, kept as U+0081
  };
  for (const auto& [bytes, utf8] : cases)
    EXPECT_EQ(CellsOf(0, Element(12, bytes)).at(kNameColumn), utf8) << bytes;
}

TEST(ListFormats, CsvQuotesOnlyCellsThatNeedIt) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"bell", "bell"},           {"", ""},
      {"a,b", "\"a,b\""},         {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"a\nb", "\"a\nb\""},       {"a\rb", "\"a\rb\""},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
  };
  for (const auto& [cell, quoted] : cases) {
    std::string out;
    AppendCsvCell(out, cell);
    EXPECT_EQ(out, quoted);
  }
}

TEST(ListFormats, JsonStringsEscapeQuotesBackslashesAndControls) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"bell", "\"bell\""},
      {"a\"b", R"("a\"b")"},
      {"a\\b", R"("a\\b")"},
      {"\x01\n\x1F", R"("\u0001\u000a\u001f")"},
      {"caf\xC3\xA9\x7F", "\"caf\xC3\xA9\x7F\""},  // no escape needed outside the C0 range
  };
  for (const auto& [text, json] : cases) {
    std::string out;
    AppendJsonString(out, text);
    EXPECT_EQ(out, json);
  }
}

TEST(ListFormats, CsvNameWithSeparatorsStaysOneCell) {
  const std::vector<BankEntry> entries = {Element(12, "a,\"b\"")};
  EXPECT_EQ(CsvList(entries),
            "Index,Offset,HeaderSize,DataSize,Name,SampleRate,BitsPerSample,NumChannels,"
            "Unknown,LoopStart,LoopEnd\n"
            "0,0C,40,0,\"a,\"\"b\"\"\",0,0,0,0,0,0\n");
}

std::size_t Characters(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

TEST(ListFormats, TableAlignsColumnsByCharactersNotBytes) {
  // "é" and "€" take two and three bytes but one column each; with the
  // numbers right-aligned, every line is as wide as the title line only when the names are
  // padded by characters.
  const std::vector<BankEntry> entries = {Element(12, "e"), Element(152, "\xE9"),
                                          Element(500, "\x80\x80\x80\x80\x80")};
  const std::string table = TableList(entries);
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos;
       start = end + 1)
    lines.push_back(table.substr(start, end - start));
  ASSERT_EQ(lines.size(), 4u);
  for (const std::string& line : lines) EXPECT_EQ(Characters(line), Characters(lines[0])) << line;
}

TEST(ListFormats, TableShowsControlCharactersInNamesAsQuestionMarks) {
  const std::vector<BankEntry> entries = {Element(12, "a\x1B[2Jb\x81\n")};
  const std::string table = TableList(entries);
  EXPECT_NE(table.find("a?[2Jb??"), std::string::npos) << table;
  EXPECT_EQ(table.find('\x1B'), std::string::npos);
}

}  // namespace
}  // namespace Orvane::Cli
