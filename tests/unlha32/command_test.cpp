// The command text: only x "archive" "destination" is run; everything else fails
// with its own result, reports once, and writes a bounded log.
#include <gtest/gtest.h>

#include <cstring>

#include "lzh_media.h"
#include "unlha32/command.h"
#include "unlha32/unlha32.h"

namespace {

using unlha32::Command;
using unlha32::ParseCommand;

struct GoodCase {
  const char* text;
  const char* archive;
  const char* destination;
};

TEST(ParseCommand, TakesTheInstallersCommandApart) {
  const GoodCase cases[] = {
      {R"(x "C:\WINDOWS\TEMP\TAVOTEMP.LZH" "C:\Program Files\Korvane\Tavolin\Foo\")",
       R"(C:\WINDOWS\TEMP\TAVOTEMP.LZH)", R"(C:\Program Files\Korvane\Tavolin\Foo\)"},
      {R"(x "a.lzh" "d")", "a.lzh", "d"},
      {"  x\t\"a.lzh\"   \"d e\"  ", "a.lzh", "d e"},
      // CP932 "ソ" (83 5C) and "表" (95 5C): their second byte is "\", never a quote.
      {"x \"D:\\\x83\x5C\\\x95\x5C.LZH\" \"C:\\\x83\x5C\\\"", "D:\\\x83\x5C\\\x95\x5C.LZH",
       "C:\\\x83\x5C\\"},
  };
  for (const auto& c : cases) {
    Command command;
    ASSERT_EQ(ParseCommand(c.text, command), 0) << c.text;
    EXPECT_EQ(command.archive, c.archive) << c.text;
    EXPECT_EQ(command.destination, c.destination) << c.text;
  }
}

struct BadCase {
  const char* text;
  int result;
};

TEST(ParseCommand, RefusesEveryOtherText) {
  const BadCase cases[] = {
      {"e \"a.lzh\" \"d\\\"", ERROR_COMMAND_NAME},
      {"X \"a.lzh\" \"d\\\"", ERROR_COMMAND_NAME},
      {"l \"a.lzh\"", ERROR_COMMAND_NAME},
      {"xr \"a.lzh\" \"d\\\"", ERROR_COMMAND_NAME},
      {"-x \"a.lzh\" \"d\\\"", ERROR_COMMAND_NAME},
      {"", ERROR_NOT_FILENAME},
      {"   ", ERROR_NOT_FILENAME},
      {"x", ERROR_NOT_FILENAME},
      {"x \"a.lzh\"", ERROR_NOT_FILENAME},
      {"x a.lzh d", ERROR_NOT_FILENAME},
      {"x \"a.lzh\" d", ERROR_NOT_FILENAME},
      {"x \"\" \"d\"", ERROR_NOT_FILENAME},
      {"x \"a.lzh\" \"\"", ERROR_NOT_FILENAME},
      {"x \"a.lzh \"d\"", ERROR_NOT_FILENAME},
      {"x \"a.lzh\" \"d", ERROR_NOT_FILENAME},
      {"x \"a.lzh\"\"d\"", ERROR_NOT_FILENAME},
      {"x\"a.lzh\" \"d\"", ERROR_NOT_FILENAME},
      {"x \"a.lzh\" \"d\" \"e\"", ERROR_NOT_FILENAME},
      {"x \"a.lzh\" \"d\" -r", ERROR_NOT_FILENAME},
      {"\"a.lzh\" \"d\"", ERROR_NOT_FILENAME},
  };
  for (const auto& c : cases) {
    Command command;
    EXPECT_EQ(ParseCommand(c.text, command), c.result) << "[" << c.text << "]";
  }
  Command command;
  EXPECT_EQ(ParseCommand(nullptr, command), ERROR_NOT_FILENAME);
}

TEST(UnlhaCommand, BadTextIsReportedOnceWithItsResult) {
  unlha32_test::ScopedRecordingUi recording;
  EXPECT_EQ(Unlha(nullptr, "e \"a.lzh\" \"d\\\"", nullptr, 0), ERROR_COMMAND_NAME);
  EXPECT_EQ(Unlha(nullptr, "x \"a.lzh\"", nullptr, 0), ERROR_NOT_FILENAME);
  EXPECT_EQ(Unlha(nullptr, nullptr, nullptr, 0), ERROR_NOT_FILENAME);
  ASSERT_EQ(recording.ui.failures.size(), 3u);
  EXPECT_EQ(recording.ui.failures[0].result, ERROR_COMMAND_NAME);
  EXPECT_FALSE(recording.ui.failures[0].reason.empty());
  EXPECT_EQ(recording.ui.begins, 0);
}

TEST(UnlhaCommand, LogIsBoundedByTheGivenSize) {
  unlha32_test::ScopedRecordingUi recording;
  for (const DWORD size : {1u, 2u, 3u, 7u, 40u, 4096u}) {
    std::string buffer(size + 8, '#');
    EXPECT_EQ(Unlha(nullptr, "e \"a\" \"b\"", buffer.data(), size), ERROR_COMMAND_NAME);
    const std::size_t length = std::strlen(buffer.c_str());
    EXPECT_LT(length, size) << size;
    EXPECT_EQ(buffer.substr(size), std::string(8, '#')) << size;
    // The cut never splits a double-byte character: the text stays valid CP932.
    for (std::size_t i = 0; i < length; ++i) {
      const auto b = static_cast<unsigned char>(buffer[i]);
      if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
        ASSERT_LT(i + 1, length) << size;
        ++i;
      }
    }
  }
  char untouched = '#';
  EXPECT_EQ(Unlha(nullptr, "e \"a\" \"b\"", &untouched, 0), ERROR_COMMAND_NAME);
  EXPECT_EQ(untouched, '#');
}

}  // namespace
