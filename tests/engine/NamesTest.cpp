#include <gtest/gtest.h>

#include "CodePage.h"
#include "PathUtf8.h"
#include "SoundFileName.h"

namespace Orvane {
namespace {

TEST(CodePage, EveryByteSurvivesTheTripThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // the euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");      // undefined bytes keep their value
}

TEST(CodePage, WhatHasNoByteBecomesAQuestionMark) {
  EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");        // a CJK character
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x94\x8A" "a"), "?a");  // outside the BMP
  EXPECT_EQ(Utf8ToCp1252("a\xFF" "b"), "a?b");         // malformed
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");                // cut short
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");           // overlong '/'
}

TEST(SoundFileName, ExportNamesStayInsideTheirFolder) {
  TbSoundEntry e;
  e.SetName("bell");
  EXPECT_EQ(ExportFileName(3, e), "3_bell.wav");
  e.SetName("");
  EXPECT_EQ(ExportFileName(7, e), "7_.wav");
  e.SetName("../../etc/x");
  EXPECT_EQ(ExportFileName(0, e), "0_.._.._etc_x.wav");
  e.SetName("caf\xE9");
  EXPECT_EQ(ExportStem(12, e), "12_caf\xC3\xA9");
}

TEST(SoundFileName, CandidatesForBankCreation) {
  const struct {
    const char* file;
    bool taken;
    const char* number;
    const char* name;
  } cases[] = {
      {"5_a.wav", true, "5", "a"},
      {"5_a_b.wav", true, "5", "a_b"},
      {"5_.wav", true, "5", ""},
      {"007_x.wav", true, "007", "x"},
      {"_a.wav", true, "", "a"},
      {"12_caf\xC3\xA9.wav", true, "12", "caf\xE9"},
      {"5.wav", false, "", ""},
      {"x5_a.wav", false, "", ""},
      {"+5_a.wav", false, "", ""},
      {" 5_a.wav", false, "", ""},
      {"5_a.WAV", false, "", ""},
      {"5_a.wav.bak", false, "", ""},
      {".wav", false, "", ""},
  };
  for (const auto& c : cases) {
    const auto split = SplitNumberedName(Utf8ToPath(c.file));
    ASSERT_EQ(split.has_value(), c.taken) << c.file;
    if (!split) continue;
    EXPECT_EQ(split->NumberText, c.number) << c.file;
    EXPECT_EQ(split->Name, c.name) << c.file;
  }
}

TEST(SoundFileName, NumbersUpToTheLargestSigned32BitValue) {
  EXPECT_EQ(*ParseSoundNumber("0007"), 7u);
  EXPECT_EQ(*ParseSoundNumber("2147483647"), 2147483647u);
  EXPECT_EQ(*ParseSoundNumber("0000000000000000001"), 1u);
  EXPECT_FALSE(ParseSoundNumber("2147483648"));
  EXPECT_FALSE(ParseSoundNumber("99999999999999999999999"));
  EXPECT_FALSE(ParseSoundNumber(""));
}

}  // namespace
}  // namespace Orvane
