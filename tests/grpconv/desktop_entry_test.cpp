// The texts of the menu files: value escaping, Exec quoting, the launcher and
// folder entries, the merged menu, and the stable names.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "grpconv/desktop_entry.h"
#include "grpconv/desktop_value.h"
#include "grpconv/entry_names.h"
#include "grpconv/menu_file.h"

namespace grpconv {
namespace {

struct TextCase {
  std::string input;
  std::string expected;
};

TEST(EscapeValue, EscapesBackslashesAndOuterBlanks) {
  const std::vector<TextCase> cases = {
      {"Tavolin", "Tavolin"},
      {"", ""},
      {"a\\b", "a\\\\b"},
      {" a b ", "\\sa b\\s"},
      {" ", "\\s"},
      {"ﾀｳﾞｫﾘﾝ", "ﾀｳﾞｫﾘﾝ"},
      {"表示ソフト", "表示ソフト"},
      {"100% = $x `y` \"z\" ;", "100% = $x `y` \"z\" ;"},
  };
  for (const TextCase& c : cases) {
    auto escaped = EscapeValue(c.input, "the value");
    ASSERT_TRUE(escaped) << escaped.error().reason;
    EXPECT_EQ(*escaped, c.expected) << c.input;
  }
}

TEST(EscapeValue, RefusesControlCharactersAndInvalidUtf8) {
  const std::vector<TextCase> cases = {
      {"a\nb", "the value contains a control character"},
      {"a\tb", "the value contains a control character"},
      {std::string("a\0b", 3), "the value contains a control character"},
      {"a\x7f", "the value contains a control character"},
      {"\xC0\xB3", "the value is not valid UTF-8"},          // CP932, not UTF-8
      {"\xE3\x81", "the value is not valid UTF-8"},          // cut short
      {"\xED\xA0\x80", "the value is not valid UTF-8"},      // a surrogate
      {"\xF4\x90\x80\x80", "the value is not valid UTF-8"},  // above U+10FFFF
      {"\xC1\xBF", "the value is not valid UTF-8"},          // overlong
  };
  for (const TextCase& c : cases) {
    auto escaped = EscapeValue(c.input, "the value");
    ASSERT_FALSE(escaped) << c.input;
    EXPECT_EQ(escaped.error().reason, c.expected);
  }
}

TEST(QuoteExecArgument, QuotesReservedCharactersAndDoublesPercents) {
  struct Case {
    std::string argument;
    bool always;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"wine", false, "wine"},
      {"wine", true, "\"wine\""},
      {"", false, "\"\""},
      {"/opt/My Wine/wine", false, "\"/opt/My Wine/wine\""},
      {"--x=50%", false, "--x=50%%"},
      {"a\"b", false, "\"a\\\"b\""},
      {"a`b$c\\d", false, "\"a\\`b\\$c\\\\d\""},
      {"it's", false, "\"it's\""},
      {"100%", true, "\"100%%\""},
      {"表示", true, "\"表示\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteExecArgument(c.argument, c.always), c.expected) << c.argument;
  }
}

TEST(ExecValue, QuotesTheProgramAlwaysAndEscapesTheWholeValue) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> launchers = {
      {{"wine"}, "wine "},
      {{"env", "WINEDEBUG=-all", "wine64"}, "env WINEDEBUG=-all wine64 "},
      {{"/opt/My Wine/bin/wine"}, "\"/opt/My Wine/bin/wine\" "},
  };
  for (const auto& [words, start] : launchers) {
    auto exec = ExecValue(words, "/home/u/Program Files/a\\b/TAVOEXEC.EXE");
    ASSERT_TRUE(exec) << exec.error().reason;
    // The backslash is escaped for the quoting, then again for the value.
    EXPECT_EQ(*exec, start + "\"/home/u/Program Files/a\\\\\\\\b/TAVOEXEC.EXE\"");
  }
  EXPECT_FALSE(ExecValue({"wine"}, "/a\nb"));
}

TEST(RenderLauncher, WritesAnApplicationEntry) {
  LauncherEntry entry;
  entry.name = "表示ソフト";
  entry.launcher = {"wine"};
  entry.program = "/games/Tavolin 2/TAVOEXEC.EXE";
  entry.workingFolder = "/games/Tavolin 2";
  entry.categories = {"X-Setup-Korvane", "X-Setup-Korvane-0123456789abcdef"};
  auto text = RenderLauncher(entry);
  ASSERT_TRUE(text) << text.error().reason;
  EXPECT_EQ(*text,
            "# Written by grpconv from SETUP.INI; converting again rewrites it.\n"
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=表示ソフト\n"
            "Exec=wine \"/games/Tavolin 2/TAVOEXEC.EXE\"\n"
            "Path=/games/Tavolin 2\n"
            "Terminal=false\n"
            "Categories=X-Setup-Korvane;X-Setup-Korvane-0123456789abcdef;\n");

  entry.workingFolder.clear();
  text = RenderLauncher(entry);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->find("Path="), std::string::npos);

  entry.name = "bad\tname";
  text = RenderLauncher(entry);
  ASSERT_FALSE(text);
  EXPECT_EQ(text.error().reason, "the item name contains a control character");
}

TEST(RenderDirectory, WritesADirectoryEntry) {
  auto text = RenderDirectory("ｹﾞｰﾑ");
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "# Written by grpconv from SETUP.INI; converting again rewrites it.\n"
            "[Desktop Entry]\n"
            "Type=Directory\n"
            "Name=ｹﾞｰﾑ\n");
  EXPECT_FALSE(RenderDirectory("\xB9"));
}

TEST(RenderMenu, NestsTheLevelsAndIncludesTheCategoryInTheInnermost) {
  EXPECT_EQ(RenderMenu({"outer", "inner"}, "X-Cat"),
            "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
            "<!-- Written by grpconv from SETUP.INI; converting again rewrites it. -->\n"
            "<Menu>\n"
            "  <Name>Applications</Name>\n"
            "  <Menu>\n"
            "    <Name>outer</Name>\n"
            "    <Directory>outer.directory</Directory>\n"
            "    <Menu>\n"
            "      <Name>inner</Name>\n"
            "      <Directory>inner.directory</Directory>\n"
            "      <Include>\n"
            "        <Category>X-Cat</Category>\n"
            "      </Include>\n"
            "    </Menu>\n"
            "  </Menu>\n"
            "</Menu>\n");
  EXPECT_NE(RenderMenu({"a&b<c>"}, "d").find("<Name>a&amp;b&lt;c&gt;</Name>"), std::string::npos);
}

bool IsPlainName(const std::string& name) {
  for (const char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  return true;
}

TEST(EntryNames, AreStableAsciiAndKeepNamesApart) {
  const std::string group = "\xC0\xB3\xDE\xAB\xD8\xDD\\\xB9\xDE\xB0\xD1";
  // The names are part of what the user's menu holds: a new version of the
  // converter must derive the same ones, or a second conversion adds an entry.
  EXPECT_EQ(LevelId("\xC0\xB3\xDE\xAB\xD8\xDD"), LevelId("\xC0\xB3\xDE\xAB\xD8\xDD"));
  EXPECT_EQ(LevelId(group).rfind("setup-korvane-g", 0), 0u);
  EXPECT_EQ(MenuId(group).rfind("setup-korvane-m", 0), 0u);
  EXPECT_EQ(ItemId(group, "A").rfind("setup-korvane-", 0), 0u);
  EXPECT_EQ(GroupCategory(group).rfind("X-Setup-Korvane-", 0), 0u);
  const std::vector<std::string> names = {
      LevelId(group), LevelId("\xC0\xB3\xDE\xAB\xD8\xDD"), LevelId("\xB9\xDE\xB0\xD1"),
      MenuId(group), GroupCategory(group), ItemId(group, "A"), ItemId(group, "B"),
      ItemId("G", "A"), ItemId("GA", ""), ItemId("G", "A\x81"), LevelId("\x83\x5C")};
  std::set<std::string> distinct;
  for (const std::string& name : names) {
    EXPECT_TRUE(IsPlainName(name)) << name;
    EXPECT_LE(name.size(), 40u) << name;
    distinct.insert(name.substr(name.size() - 16));
  }
  EXPECT_EQ(distinct.size(), names.size());
  EXPECT_EQ(LevelId(std::string(5000, 'x')).size(), LevelId("x").size());
}

TEST(EntryNames, KeepTheirValuesAcrossVersions) {
  // 64-bit FNV-1a over a kind byte and the NUL-ended CP932 parts.
  const std::string group = "\xC0\xB3\xDE\xAB\xD8\xDD\\\xB9\xDE\xB0\xD1";
  EXPECT_EQ(LevelId("\xC0\xB3\xDE\xAB\xD8\xDD"), "setup-korvane-g8befd95d2f028884");
  EXPECT_EQ(LevelId(group), "setup-korvane-g9f37818e001752ec");
  EXPECT_EQ(MenuId(group), "setup-korvane-m07f0caf4fba374ff");
  EXPECT_EQ(GroupCategory(group), "X-Setup-Korvane-5a3c495d73cb5519");
  EXPECT_EQ(ItemId(group, "Tavolin"), "setup-korvane-299688377caa268c");
}

}  // namespace
}  // namespace grpconv
