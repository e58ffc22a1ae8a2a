#include "win32/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using win32::Cp932ToUtf8;
using win32::Utf8ToCp932;
using win32::Expected;

struct RoundTrip {
  const char* utf8;
  const char* cp932;
};

// Characters whose second byte is 0x5C or 0x7C are included on purpose: they are
// where a converter that is not CP932 (or a byte-wise separator test) goes wrong.
const RoundTrip kRoundTrips[] = {
    {"", ""},
    {"Setup.dat", "Setup.dat"},
    {"C:\\Program Files", "C:\\Program Files"},
    {"ソ", "\x83\x5C"},
    {"表", "\x95\x5C"},
    {"能", "\x94\x5C"},
    {"予", "\x97\x5C"},
    {"セットアップ", "\x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76"},
    {"ｾｯﾄｱｯﾌﾟ", "\xBE\xAF\xC4\xB1\xAF\xCC\xDF"},
    {"ＭＳ Ｐゴシック", "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"},
    {"～", "\x81\x60"},
    {"①", "\x87\x40"},
};

TEST(Cp932, ConvertsBothWays) {
  for (const RoundTrip& c : kRoundTrips) {
    Expected<std::string> to = Utf8ToCp932(c.utf8);
    ASSERT_TRUE(to.ok()) << c.utf8 << ": " << to.error().reason;
    EXPECT_EQ(c.cp932, *to) << c.utf8;
    Expected<std::string> back = Cp932ToUtf8(c.cp932);
    ASSERT_TRUE(back.ok()) << c.utf8 << ": " << back.error().reason;
    EXPECT_EQ(c.utf8, *back);
  }
}

TEST(Cp932, RefusesBytesThatAreNoCp932) {
  const char* const kInvalid[] = {
      "\x80",          // undefined single byte
      "\xA0",          // undefined single byte
      "\xFD",          // undefined single byte
      "abc\x83",       // lead byte without its second byte
      "\x81\x20",      // a blank cannot be a second byte
      "ok\x85\x40ok",  // an unassigned double-byte code
  };
  for (const char* bytes : kInvalid) {
    Expected<std::string> result = Cp932ToUtf8(bytes);
    EXPECT_FALSE(result.ok()) << win32::Cp932ForDisplay(bytes);
    if (!result) {
      EXPECT_NE(std::string::npos, result.error().reason.find("\\x")) << result.error().reason;
    }
  }
}

TEST(Cp932, RefusesCharactersCp932CannotHold) {
  const char* const kUnrepresentable[] = {"한국어", "€", "😀", "a\xFF", "\xC3"};
  for (const char* text : kUnrepresentable) {
    Expected<std::string> result = Utf8ToCp932(text);
    EXPECT_FALSE(result.ok()) << text;
    if (!result) {
      EXPECT_FALSE(result.error().reason.empty());
    }
  }
}

TEST(Cp932, AnsiGivesTheBytes) {
  EXPECT_EQ("\x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76", win32::Ansi("セットアップ"));
  EXPECT_EQ("abc", win32::Ansi("abc"));
}

TEST(Cp932Death, AnsiAbortsOnAnUnrepresentableLiteral) {
  EXPECT_DEATH(win32::Ansi("한국어"), "code page 932");
}

TEST(Cp932, DisplayShowsInvalidBytesAsHex) {
  EXPECT_EQ("ソ\\x80x", win32::Cp932ForDisplay("\x83\x5C\x80x"));
  EXPECT_EQ("abc", win32::Cp932ForDisplay("abc"));
}

TEST(Cp932, LeadBytes) {
  struct Case {
    unsigned char byte;
    bool lead;
  };
  const Case kCases[] = {{0x80, false}, {0x81, true},  {0x9F, true},  {0xA0, false},
                         {0xA1, false}, {0xDF, false}, {0xE0, true},  {0xFC, true},
                         {0xFD, false}, {0x5C, false}, {0x41, false}, {0x00, false}};
  for (const Case& c : kCases) EXPECT_EQ(c.lead, win32::IsCp932LeadByte(c.byte)) << int(c.byte);
}

TEST(Cp932, EndsWithSeparator) {
  struct Case {
    const char* text;
    bool ends;
  };
  const Case kCases[] = {
      {"", false},
      {"C:\\", true},
      {"C:/", true},
      {"C:\\Games", false},
      {"C:\\\x83\x5C", false},          // ソ: its 0x5C is a second byte
      {"C:\\\x95\x5C\\", true},         // 表 and then a separator
      {"\x83\x5C\x83\x5C", false},      // ソソ
      {"a\\\x83", false},               // a dangling lead byte is no separator
      {"\xB1\\", true},                 // half-width katakana is one byte
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.ends, win32::EndsWithSeparator(c.text)) << win32::Cp932ForDisplay(c.text);
  }
}

}  // namespace
