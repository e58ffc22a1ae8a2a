#include "engine/append_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
  const char* what;
  std::string path;
  std::string component;
  std::string expected;
};

// "ソ" is 0x83 0x5C and "表" is 0x95 0x5C in code page 932: their second byte is the
// same byte as "\", but the character is no separator.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";

class AppendPathTable : public testing::TestWithParam<Case> {};

TEST_P(AppendPathTable, JoinsWithOneSeparatorAndTwoTerminators) {
  const Case& c = GetParam();
  std::vector<char> buffer(260, 'x');
  std::copy(c.path.begin(), c.path.end(), buffer.begin());
  buffer[c.path.size()] = '\0';

  ASSERT_TRUE(engine::AppendPath(buffer, c.component.c_str()));
  EXPECT_EQ(std::string(buffer.data()), c.expected);
  EXPECT_EQ(buffer[c.expected.size()], '\0');
  EXPECT_EQ(buffer[c.expected.size() + 1], '\0') << "the doubled terminator is missing";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendPathTable,
    testing::Values(
        Case{"plain", "C:\\Games", "Foo", "C:\\Games\\Foo"},
        Case{"trailing backslash", "C:\\Games\\", "Foo", "C:\\Games\\Foo"},
        Case{"trailing slash", "C:/Games/", "Foo", "C:/Games/Foo"},
        Case{"drive root", "D:\\", "Foo", "D:\\Foo"},
        Case{"empty path gets no separator", "", "Korvane\\Tavolin", "Korvane\\Tavolin"},
        Case{"empty component adds the separator", "C:\\Games", "", "C:\\Games\\"},
        Case{"empty component on a separator", "C:\\Games\\", "", "C:\\Games\\"},
        Case{"both empty", "", "", ""},
        Case{"name ending in so", "C:\\" + kSo, "Foo", "C:\\" + kSo + "\\Foo"},
        Case{"name ending in hyo", "C:\\" + kHyo, "", "C:\\" + kHyo + "\\"},
        Case{"so then a real separator", "C:\\" + kSo + "\\", "Foo", "C:\\" + kSo + "\\Foo"},
        Case{"half-width katakana are single bytes", "C:\\\xC0\xB3", "Foo",
             "C:\\\xC0\xB3\\Foo"}),
    [](const testing::TestParamInfo<Case>& info) {
      std::string name = info.param.what;
      for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The joined path, the separator and both terminators must fit the buffer exactly.
TEST(AppendPath, ExactFitAndOneByteTooLong) {
  std::vector<char> buffer(16, 'x');
  const std::string base = "C:\\abc";  // 6 bytes
  std::copy(base.begin(), base.end(), buffer.begin());
  buffer[base.size()] = '\0';

  // 6 + 1 + 7 + 2 = 16: fits exactly.
  ASSERT_TRUE(engine::AppendPath(buffer, "defghij"));
  EXPECT_EQ(std::string(buffer.data()), "C:\\abc\\defghij");
  EXPECT_EQ(buffer[15], '\0');

  std::copy(base.begin(), base.end(), buffer.begin());
  buffer[base.size()] = '\0';
  // One more byte: refused, and the buffer keeps its old text.
  EXPECT_FALSE(engine::AppendPath(buffer, "defghijk"));
  EXPECT_EQ(std::string(buffer.data()), base);
}

TEST(AppendPath, BufferWithoutTerminatorIsRefused) {
  std::vector<char> buffer(4, 'x');
  EXPECT_FALSE(engine::AppendPath(buffer, "a"));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "xxxx");
}

}  // namespace
