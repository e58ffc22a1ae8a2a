#include "engine/stage_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/codepage.h"

namespace {

std::string Text(const std::vector<char>& buffer) { return std::string(buffer.data()); }

TEST(VolumeName, ThreeDigitsThenFourFromOneThousand) {
  const struct {
    std::int32_t number;
    const char* expected;
  } cases[] = {
      {1, "D:\\Foo.001"}, {12, "D:\\Foo.012"}, {999, "D:\\Foo.999"},
      {1000, "D:\\Foo.1000"}, {1001, "D:\\Foo.1001"},
  };
  for (const auto& c : cases) {
    std::vector<char> out(260);
    ASSERT_TRUE(engine::BuildVolumeName(out, "D:\\", "Foo", c.number));
    EXPECT_EQ(Text(out), c.expected);
  }
}

TEST(VolumeName, SeparatorOnlyWhenMissing) {
  std::vector<char> out(260);
  ASSERT_TRUE(engine::BuildVolumeName(out, "D:\\disk1", "Foo", 2));
  EXPECT_EQ(Text(out), "D:\\disk1\\Foo.002");
}

TEST(VolumeName, RefusedWhenItWouldNotFit) {
  std::vector<char> out(260);
  const std::string dir = "C:\\" + std::string(240, 'd') + "\\";  // 244 bytes
  EXPECT_TRUE(engine::BuildVolumeName(out, dir, std::string(10, 'n'), 1));   // 258 + NUL
  EXPECT_FALSE(engine::BuildVolumeName(out, dir, std::string(12, 'n'), 1));  // 260 + NUL
}

TEST(ArchivePaths, SingleAndTemporary) {
  std::vector<char> out(260);
  ASSERT_TRUE(engine::BuildSingleArchivePath(out, "D:\\", "Foo"));
  EXPECT_EQ(Text(out), "D:\\Foo.LZH");
  ASSERT_TRUE(engine::BuildTemporaryArchivePath(out, "C:\\WINDOWS\\TEMP\\"));
  EXPECT_EQ(Text(out), "C:\\WINDOWS\\TEMP\\TAVOTEMP.LZH");
  const std::string longTemp = "C:\\" + std::string(244, 't');  // + "\\TAVOTEMP.LZH" + 2 NULs = 262
  EXPECT_FALSE(engine::BuildTemporaryArchivePath(out, longTemp));
}

TEST(CommandText, QuotesBothPathsAndEndsTheDestinationWithASeparator) {
  const struct {
    const char* target;
    const char* destination;
  } cases[] = {
      {"C:\\Program Files\\Korvane\\Tavolin\\Foo", "C:\\Program Files\\Korvane\\Tavolin\\Foo\\"},
      {"D:\\Foo\\", "D:\\Foo\\"},
      {"D:/Foo/", "D:/Foo/"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::vector<char> destination(256);
    ASSERT_TRUE(engine::BuildDestinationArgument(destination, c.target));
    EXPECT_EQ(Text(destination), c.destination);
    std::vector<char> command(512);
    ASSERT_TRUE(engine::BuildCommandText(command, "C:\\WINDOWS\\TEMP\\TAVOTEMP.LZH", Text(destination)));
    EXPECT_EQ(Text(command), std::string("x \"C:\\WINDOWS\\TEMP\\TAVOTEMP.LZH\" \"") + c.destination + "\"");
  }
}

TEST(CommandText, RefusedWhenTooLong) {
  std::vector<char> destination(256);
  EXPECT_TRUE(engine::BuildDestinationArgument(destination, std::string(253, 'a')));   // +\ +2 NULs = 256
  EXPECT_FALSE(engine::BuildDestinationArgument(destination, std::string(254, 'a')));
  std::vector<char> command(512);
  EXPECT_TRUE(engine::BuildCommandText(command, std::string(250, 'a'), std::string(254, 'b')));   // 511
  EXPECT_FALSE(engine::BuildCommandText(command, std::string(251, 'a'), std::string(254, 'b')));  // 512
}

TEST(VolumePrompt, CarriesTheNumber) {
  std::vector<char> out(256);
  ASSERT_TRUE(engine::BuildVolumePrompt(out, 2));
  EXPECT_EQ(Text(out), win32::Ansi("2 枚目のディスクをセットしてください"));
  ASSERT_TRUE(engine::BuildVolumePrompt(out, 1000));
  EXPECT_EQ(Text(out), win32::Ansi("1000 枚目のディスクをセットしてください"));
}

TEST(GroupFile, ExactBytes) {
  const std::string group = win32::Ansi("ﾀｳﾞｫﾘﾝ\\ｹﾞｰﾑ");
  ASSERT_EQ(group, "\xC0\xB3\xDE\xAB\xD8\xDD\\\xB9\xDE\xB0\xD1");
  std::vector<char> out(512, 'z');
  const int length = engine::BuildGroupFileText(out, group, "Foo", "C:\\PROGRA~1\\KORVANE\\TAVOLIN\\FOO\\TAVOEXEC.EXE",
                                                "C:\\Program Files\\Korvane\\Tavolin\\Foo");
  const std::string expected =
      "[progman.groups]\r\ngroupX=" + group +
      "\r\n[groupX]\r\n\"Foo\",\"C:\\PROGRA~1\\KORVANE\\TAVOLIN\\FOO\\TAVOEXEC.EXE\",,,,"
      "\"C:\\Program Files\\Korvane\\Tavolin\\Foo\"\r\n";
  ASSERT_EQ(length, static_cast<int>(expected.size()));
  EXPECT_EQ(std::string(out.data(), length), expected);
}

TEST(GroupFile, RefusedWhenTooLongForItsBuffer) {
  std::vector<char> out(512);
  const std::string group = win32::Ansi("ﾀｳﾞｫﾘﾝ\\ｹﾞｰﾑ");  // 11 bytes
  // 50 bytes of its own + 11 + name + short path + target, and a NUL: 512 at most.
  const std::string path(200, 'p');
  const std::string target(200, 't');
  EXPECT_EQ(engine::BuildGroupFileText(out, group, std::string(50, 'n'), path, target), 511);
  EXPECT_EQ(engine::BuildGroupFileText(out, group, std::string(51, 'n'), path, target), -1);
}

}  // namespace
