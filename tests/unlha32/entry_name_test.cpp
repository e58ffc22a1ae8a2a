// Entry names: what is refused before anything is written, and how the rest split.
#include <gtest/gtest.h>

#include "unlha32/crc16.h"
#include "unlha32/entry_name.h"
#include "unlha32/raw_header.h"

namespace {

using unlha32::SplitEntryName;

struct SplitCase {
  const char* name;
  std::vector<std::string> components;
};

TEST(SplitEntryName, SplitsAtEitherSeparator) {
  const SplitCase cases[] = {
      {"a.txt", {"a.txt"}},
      {"dir/a.txt", {"dir", "a.txt"}},
      {"dir\\sub\\a.txt", {"dir", "sub", "a.txt"}},
      {"dir/", {"dir"}},
      {"./dir//a.txt", {"dir", "a.txt"}},
      {"ソ表/能予.txt", {"ソ表", "能予.txt"}},
      {"ｶﾀｶﾅ\\ﾃﾞｰﾀ", {"ｶﾀｶﾅ", "ﾃﾞｰﾀ"}},
      {"a..b/..c", {"a..b", "..c"}},
  };
  for (const auto& c : cases) {
    auto split = SplitEntryName(c.name);
    ASSERT_TRUE(split.ok()) << c.name;
    EXPECT_EQ(*split, c.components) << c.name;
  }
}

TEST(SplitEntryName, RefusesNamesThatLeaveTheDestination) {
  const char* refused[] = {
      "",        "/abs",        "\\abs",      "\\\\server\\share\\x", "C:\\x",
      "C:x",     "c:/x",        "a/b:c",      "..",                   "../x",
      "..\\x",   "a\\..\\..\\x", "a/../b",    "a/..",                 ".",
      "./",      "a\x01b",      "tab\there", "del\x7f",
  };
  for (const char* name : refused) {
    auto split = SplitEntryName(name);
    EXPECT_FALSE(split.ok()) << "[" << name << "]";
    if (!split.ok()) {
      EXPECT_FALSE(split.error().reason.empty());
    }
  }
}

TEST(Crc16, IsTheArchiveChecksum) {
  EXPECT_EQ(unlha32::Crc16(0, "123456789", 9), 0xBB3D);
  EXPECT_EQ(unlha32::Crc16(0, "", 0), 0);
  // Feeding the data in pieces gives the same value.
  EXPECT_EQ(unlha32::Crc16(unlha32::Crc16(0, "1234", 4), "56789", 5), 0xBB3D);
  // Every length and alignment agrees with the bit-by-bit definition.
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>((i * 131 + 7) & 0xFF);
  for (std::size_t start = 0; start < 9; ++start) {
    for (std::size_t length = 0; start + length <= data.size(); length += 7) {
      std::uint16_t expected = 0;
      for (std::size_t i = start; i < start + length; ++i) {
        expected ^= static_cast<unsigned char>(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
          expected = (expected & 1) != 0 ? (expected >> 1) ^ 0xA001 : expected >> 1;
        }
      }
      ASSERT_EQ(unlha32::Crc16(0, data.data() + start, length), expected) << start << "+" << length;
    }
  }
}

TEST(RawHeader, ReadsMethodLevelAndCrc) {
  // Level 0: size, sum, "-lh5-", sizes, time, attribute, level, name "a", CRC.
  const unsigned char level0[] = {23,  0,   '-', 'l', 'h', '5', '-', 1, 0, 0, 0, 1, 0, 0,
                                  0,   0,   0,   0,   0,   0x20, 0,  1, 'a', 0x34, 0x12};
  auto header = unlha32::ParseRawHeader(level0, sizeof level0);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->method, "-lh5-");
  EXPECT_EQ(header->level, 0);
  EXPECT_EQ(header->crc, 0x1234);
  const unsigned char junk[] = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_FALSE(unlha32::ParseRawHeader(junk, sizeof junk).has_value());
  EXPECT_TRUE(unlha32::IsDecodedMethod("-lh7-"));
  EXPECT_FALSE(unlha32::IsDecodedMethod("-lh1-"));
  EXPECT_FALSE(unlha32::IsDecodedMethod("-lzs-"));
  EXPECT_EQ(unlha32::MethodForDisplay(std::string("-p\x01m-", 5)), "-p\\x01m-");
}

}  // namespace
