// Reading SETUP.INI: the installer's own bytes, the variations a hand-written or
// damaged file may show, and the errors.
#include "grpconv/group_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/codepage.h"

namespace grpconv {
namespace {

// The group name the installer writes: "ﾀｳﾞｫﾘﾝ\ｹﾞｰﾑ" in single-byte katakana.
const std::string kGroupName = "\xC0\xB3\xDE\xAB\xD8\xDD\\\xB9\xDE\xB0\xD1";

// One line per group: "name: item; item" with items as "name|program|folder@line".
std::string Summary(const GroupFile& file) {
  std::string text;
  for (const Group& group : file.groups) {
    if (!text.empty()) text += " / ";
    text += group.name + ":";
    for (const GroupItem& item : group.items) {
      text += " " + item.name + "|" + item.program + "|" + item.workingFolder + "@" +
              std::to_string(item.line) + ";";
    }
  }
  return text;
}

struct ParseCase {
  const char* title;
  std::string input;
  std::string summary;
};

class ParseGroupFileTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseGroupFileTest, ReadsGroupsAndItems) {
  auto file = ParseGroupFile(GetParam().input);
  ASSERT_TRUE(file) << file.error().reason;
  EXPECT_EQ(Summary(*file), GetParam().summary);
}

const std::string kItem = "\"Tavolin\",\"C:\\PROGRA~1\\TAVOEXEC.EXE\",,,,\"C:\\Program Files\\Tavolin\"";
const std::string kItemSummary = "Tavolin|C:\\PROGRA~1\\TAVOEXEC.EXE|C:\\Program Files\\Tavolin";

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseGroupFileTest,
    testing::Values(
        ParseCase{"the installer's file",
                  "[progman.groups]\r\ngroupX=" + kGroupName + "\r\n[groupX]\r\n" + kItem + "\r\n",
                  kGroupName + ": " + kItemSummary + "@4;"},
        ParseCase{"lines ended by LF alone",
                  "[progman.groups]\ngroupX=G\n[groupX]\n" + kItem + "\n",
                  "G: " + kItemSummary + "@4;"},
        ParseCase{"lines ended by CR alone, no end on the last",
                  "[progman.groups]\rgroupX=G\r[groupX]\r" + kItem,
                  "G: " + kItemSummary + "@4;"},
        ParseCase{"a quoted field holds commas and doubled quotes",
                  "[progman.groups]\r\ng=G\r\n[g]\r\n\"A, \"\"B\"\", C\",\"C:\\X.EXE\",,,,\"C:\\D,E\"\r\n",
                  "G: A, \"B\", C|C:\\X.EXE|C:\\D,E@4;"},
        ParseCase{"missing fields are empty",
                  "[progman.groups]\r\ng=G\r\n[g]\r\n\"A\",\"C:\\X.EXE\"\r\n",
                  "G: A|C:\\X.EXE|@4;"},
        ParseCase{"plain fields are trimmed, blanks around quotes are skipped",
                  "[progman.groups]\r\ng=G\r\n[g]\r\n  A b , C:\\X.EXE ,,,,  \"C:\\D\"  \r\n",
                  "G: A b|C:\\X.EXE|C:\\D@4;"},
        ParseCase{"fields after the sixth are ignored, even broken ones",
                  "[progman.groups]\r\ng=G\r\n[g]\r\n\"A\",\"C:\\X.EXE\",,,,\"C:\\D\",7,\"unclosed\r\n",
                  "G: A|C:\\X.EXE|C:\\D@4;"},
        ParseCase{"other sections and lines before the first are ignored",
                  "junk before\r\n[other]\r\nno = rules here \"\r\n[progman.groups]\r\ng=G\r\n"
                  "[stray]\r\n\"S\",\"C:\\S.EXE\"\r\n[g]\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@9;"},
        ParseCase{"a group without an item section has no items",
                  "[progman.groups]\r\ngroupX=G\r\ngroupY=H\r\n[groupX]\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@5; / H:"},
        ParseCase{"names of sections and keys ignore ASCII case; text after ] is ignored",
                  "[PROGMAN.Groups] old\r\nGroupX=G\r\n[groupx]\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@4;"},
        ParseCase{"blank lines, comments and blanks around keys",
                  "\r\n; a comment\r\n  [ progman.groups ]  \r\n\r\n  g  =  G  \r\n; again\r\n"
                  "[g]\r\n\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@9;"},
        ParseCase{"a group name between quotes",
                  "[progman.groups]\r\ng=\"G H\"\r\n",
                  "G H:"},
        ParseCase{"a byte 0x1A ends the data, whatever follows",
                  "[progman.groups]\r\ng=G\r\n[g]\r\n" + kItem + "\r\n\x1a garbage \"\r\n[g\r\n",
                  "G: " + kItemSummary + "@4;"},
        ParseCase{"a section name whose last byte is a ] of a double-byte character",
                  // "ゾ" is 0x83 0x5D: its second byte must not close the header.
                  "[progman.groups]\r\ng\x83\x5D=G\r\n[g\x83\x5D]\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@4;"},
        ParseCase{"two keys naming one group give one group with both sections",
                  "[progman.groups]\r\na=G\r\nb=G\r\n[a]\r\n\"A\",\"C:\\A.EXE\"\r\n[b]\r\n"
                  "\"B\",\"C:\\B.EXE\"\r\n[a]\r\n\"C\",\"C:\\C.EXE\"\r\n",
                  "G: A|C:\\A.EXE|@5; C|C:\\C.EXE|@9; B|C:\\B.EXE|@7;"},
        ParseCase{"a group line listed twice takes its items once",
                  "[progman.groups]\r\ng=G\r\ng=G\r\n[g]\r\n" + kItem + "\r\n",
                  "G: " + kItemSummary + "@5;"},
        ParseCase{"no groups at all", "[other]\r\nx=y\r\n", ""},
        ParseCase{"an empty file", "", ""}),
    [](const testing::TestParamInfo<ParseCase>& info) {
      std::string name;
      for (const char c : std::string(info.param.title)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      }
      return name;
    });

struct ErrorCase {
  std::string input;
  std::string reason;
};

TEST(ParseGroupFile, RefusesMalformedLinesWithTheirNumber) {
  const std::string head = "[progman.groups]\r\ng=G\r\n[g]\r\n";
  const std::vector<ErrorCase> cases = {
      {head + "\"A,\"C:\\X.EXE\"\r\n", "SETUP.INI line 4: text after the closing quote of field 1"},
      {head + "\"A\",\"C:\\X.EXE\r\n", "SETUP.INI line 4: field 2 has no closing quote"},
      {head + "\"A\"B,\"C:\\X.EXE\"\r\n", "SETUP.INI line 4: text after the closing quote of field 1"},
      {head + "\"A\"\r\n", "SETUP.INI line 4: an item without a program"},
      {head + "\"A\",\"\",,,,\"C:\\\"\r\n", "SETUP.INI line 4: an item without a program"},
      {head + ",\"C:\\X.EXE\"\r\n", "SETUP.INI line 4: an item without a name"},
      {head + ",\r\n", "SETUP.INI line 4: an item without a name"},
      {"[progman.groups]\r\ngroupX\r\n", "SETUP.INI line 2: expected \"group key=group name\""},
      {"[progman.groups]\r\n=G\r\n", "SETUP.INI line 2: a group without a key"},
      {"[progman.groups]\r\ngroupX=\r\n", "SETUP.INI line 2: a group without a name"},
      {"[progman.groups]\r\ngroupX=\"\"\r\n", "SETUP.INI line 2: a group without a name"},
      {"[progman.groups\r\n", "SETUP.INI line 1: a section header without \"]\""},
      // The ] is the second byte of "ゾ" (0x83 0x5D), so the header is not closed.
      {"[progman.groups\x83]\r\n", "SETUP.INI line 1: a section header without \"]\""},
  };
  for (const ErrorCase& c : cases) {
    auto file = ParseGroupFile(c.input);
    ASSERT_FALSE(file) << c.input;
    EXPECT_EQ(file.error().reason, c.reason) << c.input;
  }
}

TEST(ParseGroupFile, RefusesFilesBeyondItsBounds) {
  std::string big = "[progman.groups]\r\ng=G\r\n;";
  big.resize(kMaxGroupFileSize + 1, 'x');
  auto tooLarge = ParseGroupFile(big);
  ASSERT_FALSE(tooLarge);
  EXPECT_NE(tooLarge.error().reason.find("larger than"), std::string::npos);

  std::string groups = "[progman.groups]\r\n";
  for (std::size_t i = 0; i <= kMaxGroups; ++i) groups += "g=G" + std::to_string(i) + "\r\n";
  auto tooManyGroups = ParseGroupFile(groups);
  ASSERT_FALSE(tooManyGroups);
  EXPECT_NE(tooManyGroups.error().reason.find("more than"), std::string::npos);

  // Many keys naming one long section would multiply its items.
  std::string items = "[progman.groups]\r\n";
  for (int i = 0; i < 40; ++i) items += "g=G" + std::to_string(i) + "\r\n";
  items += "[g]\r\n";
  for (int i = 0; i < 40; ++i) items += "\"I\",\"C:\\I.EXE\"\r\n";
  auto tooManyItems = ParseGroupFile(items);
  ASSERT_FALSE(tooManyItems);
  EXPECT_NE(tooManyItems.error().reason.find("more than"), std::string::npos);
}

TEST(ParseGroupFile, SurvivesArbitraryBytes) {
  // Every prefix of a file with all sorts of structure, and every byte value in
  // every position of a short line, parse or fail without crashing.
  const std::string file = "[progman.groups]\r\ng=G\\H\r\n[g]\r\n\"A,\"\"B\",\"C:\\X.EXE\",,,,\"C:\\\"\r\n";
  for (std::size_t n = 0; n <= file.size(); ++n) (void)ParseGroupFile(file.substr(0, n));
  for (int b = 0; b < 256; ++b) {
    for (std::size_t at = 0; at < file.size(); ++at) {
      std::string changed = file;
      changed[at] = static_cast<char>(b);
      (void)ParseGroupFile(changed);
    }
  }
}

struct LevelsCase {
  std::string name;
  std::vector<std::string> levels;
};

TEST(SplitGroupLevels, SplitsAtBackslashCharactersOnly) {
  const std::string so = win32::Ansi("ソフト");  // "ソ" is 0x83 0x5C
  ASSERT_EQ(so.substr(0, 2), "\x83\x5C");
  const std::vector<LevelsCase> cases = {
      {kGroupName, {"\xC0\xB3\xDE\xAB\xD8\xDD", "\xB9\xDE\xB0\xD1"}},
      {"Games", {"Games"}},
      {so + "\\" + so, {so, so}},
      {"A\\B\\C", {"A", "B", "C"}},
      {"A\x83", {"A\x83"}},  // a lead byte at the end stays (conversion refuses it later)
  };
  for (const LevelsCase& c : cases) {
    auto levels = SplitGroupLevels(c.name);
    ASSERT_TRUE(levels) << levels.error().reason;
    EXPECT_EQ(*levels, c.levels) << c.name;
  }
}

TEST(SplitGroupLevels, RefusesEmptyLevelsAndDeepNesting) {
  for (const std::string name : {"", "\\", "A\\", "\\A", "A\\\\B"}) {
    auto levels = SplitGroupLevels(name);
    ASSERT_FALSE(levels) << name;
    EXPECT_NE(levels.error().reason.find("empty level"), std::string::npos);
  }
  std::string deep = "A";
  for (std::size_t i = 1; i < kMaxGroupLevels; ++i) deep += "\\A";
  EXPECT_TRUE(SplitGroupLevels(deep));
  auto tooDeep = SplitGroupLevels(deep + "\\A");
  ASSERT_FALSE(tooDeep);
  EXPECT_NE(tooDeep.error().reason.find("levels"), std::string::npos);
}

}  // namespace
}  // namespace grpconv
