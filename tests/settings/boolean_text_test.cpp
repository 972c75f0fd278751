#include "settings/boolean_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velmox {
namespace {

TEST(BooleanText, WritesTheEnglishWordsAndReadsThemInAnyLetterCase) {
  EXPECT_EQ(BooleanText(true), "True");
  EXPECT_EQ(BooleanText(false), "False");
  for (const char* text : {"True", "true", "TRUE", "tRuE", " True "})
    EXPECT_EQ(ParseBoolean(text), true) << text;
  for (const char* text : {"False", "false", "FALSE", "  false"})
    EXPECT_EQ(ParseBoolean(text), false) << text;
}

TEST(BooleanText, ZeroIsFalseAndAnyOtherNumberTrue) {
  for (const char* text : {"-1", "1", "2.5", "-0.001", ".5", "1e3", "+7", " -1 "})
    EXPECT_EQ(ParseBoolean(text), true) << text;
  for (const char* text : {"0", "-0", "0.0", "000", "0e5", " 0 "})
    EXPECT_EQ(ParseBoolean(text), false) << text;
}

// Read as a double, these would come out as zero or as infinity; they are neither.
TEST(BooleanText, NumbersBeyondADoubleStillReadByWhetherTheyAreZero) {
  EXPECT_EQ(ParseBoolean("0." + std::string(400, '0') + "1"), true);
  EXPECT_EQ(ParseBoolean("1e-400"), true);
  EXPECT_EQ(ParseBoolean("0e999999999999999999999"), false);
  EXPECT_EQ(ParseBoolean(std::string(400, '9')), true);
}

TEST(BooleanText, AnyOtherTextIsInvalid) {
  for (const char* text : {"yes", "no", "", " ", "   ", "Truth", "T", "1x", "-", ".", "1e", "1.2.3",
                           "True False", "- 1", "on"}) {
    EXPECT_EQ(ParseBoolean(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace velmox
