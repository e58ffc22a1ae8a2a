#include "win32/stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/temp_home.h"
#include "win32/faulty_file_system.h"
#include "win32/fresh_prefix.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using win32::Stream;
using win32_testing::FreshPrefixTest;

class StreamTest : public FreshPrefixTest {
 protected:
  std::string ReadAll(const std::string& windowsPath, const char* mode, std::size_t chunk) {
    auto stream = Stream::Open(windowsPath, mode);
    EXPECT_TRUE(stream.ok()) << stream.error().reason;
    if (!stream) return "";
    std::string all;
    std::string buffer(chunk, '\0');
    while (std::size_t got = (*stream)->Read(buffer.data(), buffer.size())) all.append(buffer, 0, got);
    EXPECT_FALSE((*stream)->failed());
    EXPECT_TRUE((*stream)->Close());
    return all;
  }
};

TEST_F(StreamTest, TextModeDropsCarriageReturnsAndStopsAtEndOfText) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case kCases[] = {
      {"TAVOLIN\r\n3\r\n", "TAVOLIN\n3\n"},
      {"a\rb\r\r\nc", "ab\nc"},
      {"line\n\x1A" "after the end", "line\n"},
      {"\x1A", ""},
      {"", ""},
      {"no newline", "no newline"},
      {"\x83\x5C\r\n", "\x83\x5C\n"},
  };
  for (const Case& c : kCases) {
    WriteFile(DriveC() + "/t.txt", c.bytes);
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
      EXPECT_EQ(c.text, ReadAll("C:\\T.TXT", "r", chunk)) << chunk;
    }
    EXPECT_EQ(c.bytes, ReadAll("C:\\T.TXT", "rb", 7));
  }
}

TEST_F(StreamTest, TextModeAcrossBufferBoundaries) {
  std::string bytes;
  std::string text;
  for (int i = 0; i < 30000; ++i) {
    bytes += "line\r\n";
    text += "line\n";
  }
  bytes += '\x1A';
  bytes += "tail";
  WriteFile(DriveC() + "/big.txt", bytes);
  EXPECT_EQ(text, ReadAll("C:\\big.txt", "r", 1000));
}

TEST_F(StreamTest, WritesCreateAndTruncate) {
  WriteFile(DriveC() + "/out.bin", "old content that is long");
  auto stream = Stream::Open("C:\\OUT.BIN", "wb");
  ASSERT_TRUE(stream.ok());
  EXPECT_EQ(3u, (*stream)->Write("a\r\n", 3));
  EXPECT_EQ(3, (*stream)->Tell());
  EXPECT_TRUE((*stream)->Close());
  EXPECT_EQ("a\r\n", ReadFile(DriveC() + "/out.bin"));

  auto fresh = Stream::Open("C:\\windows\\temp\\TAVOTEMP.LZH", "wb");
  ASSERT_TRUE(fresh.ok());
  std::string big(200000, 'z');
  EXPECT_EQ(big.size(), (*fresh)->Write(big.data(), big.size()));
  EXPECT_TRUE((*fresh)->Close());
  EXPECT_EQ(big, ReadFile(DriveC() + "/windows/temp/TAVOTEMP.LZH"));
}

TEST_F(StreamTest, SeekAndTell) {
  WriteFile(DriveC() + "/s.bin", "0123456789");
  auto stream = Stream::Open("C:\\s.bin", "rb");
  ASSERT_TRUE(stream.ok());
  Stream& s = **stream;
  EXPECT_TRUE(s.Seek(0, SEEK_END));
  EXPECT_EQ(10, s.Tell());
  EXPECT_TRUE(s.Seek(4, SEEK_SET));
  char two[2];
  EXPECT_EQ(2u, s.Read(two, 2));
  EXPECT_EQ("45", std::string(two, 2));
  EXPECT_EQ(6, s.Tell());
  EXPECT_TRUE(s.Seek(-1, SEEK_END));
  EXPECT_EQ(1u, s.Read(two, 2));
  EXPECT_EQ('9', two[0]);
  EXPECT_EQ(0u, s.Read(two, 2));
  EXPECT_FALSE(s.Seek(-20, SEEK_SET));
  EXPECT_TRUE(s.failed());
  EXPECT_EQ(-1, s.Tell());
}

TEST_F(StreamTest, OpenFailsWithAReason) {
  fs::create_directories(DriveC() + "/folder");
  struct Case {
    std::string path;
    const char* mode;
    const char* reasonPart;
  };
  const Case kCases[] = {
      {"C:\\missing.txt", "r", "No such file"},
      {"C:\\folder", "rb", "Is a directory"},
      {"C:\\folder", "wb", "Is a directory"},
      {"Q:\\x", "r", "no drive Q:"},
      {"C:\\no\\folder\\x", "wb", "No such file"},
      {"C:\\x", "a+", "mode"},
  };
  for (const Case& c : kCases) {
    auto stream = Stream::Open(c.path, c.mode);
    ASSERT_FALSE(stream.ok()) << c.path;
    EXPECT_NE(std::string::npos, stream.error().reason.find(c.reasonPart)) << stream.error().reason;
  }
}

TEST_F(StreamTest, ReadAndWriteErrorsAreKept) {
  win32_testing::FaultyFileSystem faulty;
  faulty.FillDiskAfter(100);
  auto stream = Stream::Open("C:\\full.bin", "wb");
  ASSERT_TRUE(stream.ok());
  std::string big(100000, 'x');
  EXPECT_LT((*stream)->Write(big.data(), big.size()), big.size());
  EXPECT_TRUE((*stream)->failed());
  EXPECT_EQ(ENOSPC, (*stream)->error().errnum);
  EXPECT_NE(std::string::npos, (*stream)->error().reason.find("No space left"));
  EXPECT_FALSE((*stream)->Close());

  faulty.FillDiskAfter(-1);
  auto small = Stream::Open("C:\\small.bin", "wb");
  ASSERT_TRUE(small.ok());
  EXPECT_EQ(5u, (*small)->Write("12345", 5));
  faulty.FillDiskAfter(0);
  EXPECT_FALSE((*small)->Close());  // the flush at the end fails, and says so

  faulty.FailCall("open", "locked", EACCES);
  auto locked = Stream::Open("C:\\locked.txt", "wb");
  ASSERT_FALSE(locked.ok());
  EXPECT_EQ(EACCES, locked.error().errnum);
}

}  // namespace
