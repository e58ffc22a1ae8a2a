#include "win32/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/faulty_file_system.h"
#include "win32/fresh_prefix.h"
#include "win32/report.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;
using win32::Ansi;
using win32_testing::FreshPrefixTest;

class RegistryTest : public FreshPrefixTest {
 protected:
  void SetUp() override {
    FreshPrefixTest::SetUp();
    win32::SetReportHook([this](HWND, const std::string&, const std::string& text) {
      reports_.push_back(text);
    });
  }
  void TearDown() override {
    win32::SetReportHook(nullptr);
    FreshPrefixTest::TearDown();
  }

  std::string UserHive() const { return prefix_ + "/registry/HKEY_CURRENT_USER.reg"; }

  // A string value as TRegistry::ReadString reads it; empty when missing.
  static std::string ReadString(HKEY root, const std::string& key, const std::string& name,
                                DWORD* typeOut = nullptr) {
    HKEY open = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &open) != ERROR_SUCCESS) return "";
    DWORD type = 0;
    DWORD size = 0;
    std::string value;
    if (RegQueryValueExA(open, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<BYTE> data(size);
      EXPECT_EQ(ERROR_SUCCESS,
                RegQueryValueExA(open, name.c_str(), nullptr, &type, data.data(), &size));
      value.assign(reinterpret_cast<const char*>(data.data()), size);
      const bool text = type == REG_SZ || type == REG_EXPAND_SZ;
      if (text && !value.empty() && value.back() == '\0') value.pop_back();
    }
    if (typeOut != nullptr) *typeOut = type;
    RegCloseKey(open);
    return value;
  }

  std::vector<std::string> reports_;
};

TEST_F(RegistryTest, TheMachineHiveKnowsProgramFiles) {
  DWORD type = 0;
  EXPECT_EQ("C:\\Program Files",
            ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                       "ProgramFilesDir", &type));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ("C:\\Program Files",
            ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\microsoft\\WINDOWS\\currentversion",
                       "programfilesdir"));
}

TEST_F(RegistryTest, CreatesKeysAndStoresEveryType) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0,
                                           nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                           nullptr, &key, &disposition));
  EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
  const std::string path = "C:\\" + Ansi("ゲーム") + "\\\"quoted\"";
  const std::string expand = "%ProgramFiles%\\X";
  const DWORD count = 10;
  const BYTE blob[] = {1, 2, 3, 0, 255};
  const std::string lines = "one\r\ntwo";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "MyPath", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(path.c_str()),
                                          static_cast<DWORD>(path.size() + 1)));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Other", 0, REG_EXPAND_SZ,
                                          reinterpret_cast<const BYTE*>(expand.c_str()),
                                          static_cast<DWORD>(expand.size() + 1)));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Count", 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&count), 4));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof blob));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Lines", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(lines.c_str()),
                                          static_cast<DWORD>(lines.size() + 1)));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, nullptr, 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>("default"), 8));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));

  const std::string text = ReadFile(UserHive());
  EXPECT_NE(std::string::npos,
            text.find("[Software\\Korvane\\Tavolin]\n"
                      "\"MyPath\"=\"C:\\\\ゲーム\\\\\\\"quoted\\\"\"\n"
                      "\"Other\"=str(2):\"%ProgramFiles%\\\\X\"\n"
                      "\"Count\"=dword:0000000a\n"
                      "\"Blob\"=hex:01,02,03,00,ff\n"))
      << text;

  // Read back through a fresh open, in other spellings.
  DWORD type = 0;
  EXPECT_EQ(path, ReadString(HKEY_CURRENT_USER, "software\\KORVANE\\tavolin", "mypath", &type));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(expand, ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "OTHER", &type));
  EXPECT_EQ(REG_EXPAND_SZ, type);
  EXPECT_EQ(lines, ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "Lines", &type));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ("default", ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", ""));

  HKEY open = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0, KEY_READ, &open));
  DWORD number = 0;
  DWORD size = sizeof number;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(open, "count", nullptr, &type,
                                            reinterpret_cast<BYTE*>(&number), &size));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ(10u, number);
  BYTE bytes[8];
  size = sizeof bytes;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(open, "Blob", nullptr, &type, bytes, &size));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ(0, std::memcmp(blob, bytes, sizeof blob));
  EXPECT_EQ(sizeof blob, size);
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(open));

  disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\KORVANE\\TAVOLIN", 0,
                                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                           &disposition));
  EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
  RegCloseKey(key);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(RegistryTest, QueryFollowsTheWin32SizeRules) {
  WriteFile(UserHive(), "REGEDIT4\n\n[Software\\Korvane\\Tavolin]\n\"MyPath\"=\"C:\\\\Games\"\n");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0, KEY_READ, &key));
  DWORD size = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "MyPath", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(9u, size);  // "C:\Games" and its terminator
  char small[4] = "xyz";
  size = sizeof small;
  EXPECT_EQ(ERROR_MORE_DATA,
            RegQueryValueExA(key, "MyPath", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size));
  EXPECT_EQ(9u, size);
  EXPECT_STREQ("xyz", small);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegQueryValueExA(key, "MyPath", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr));
  // Opened for reading: no writes.
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegSetValueExA(key, "X", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
}

TEST_F(RegistryTest, KeysExistWhenTheyOrTheirSubkeysAreListed) {
  WriteFile(UserHive(), "REGEDIT4\n\n[Software\\Korvane\\Tavolin]\n");
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
  RegCloseKey(key);
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "software\\korvane", 0, KEY_READ, &key));
  HKEY sub = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key, "Tavolin", 0, KEY_READ, &sub));
  RegCloseKey(sub);
  RegCloseKey(key);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Korv", 0, KEY_READ, &key));
  EXPECT_EQ(nullptr, key);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin\\Deeper", 0, KEY_READ, &key));
}

TEST_F(RegistryTest, ReadsWhatPeopleWriteByHand) {
  WriteFile(UserHive(),
            "\xEF\xBB\xBFREGEDIT4\r\n"
            "; written by hand\r\n"
            "\r\n"
            "[Software\\Korvane\\Tavolin]\r\n"
            "\"MyPath\"=\"D:\\\\" "ゲーム\"\r\n"
            "\"Long\"=hex:01,02,\\\r\n"
            "  03,04\r\n"
            "\"Small\"=dword:1F\r\n"
            "\"Text\"=hex(1):41,42,00\r\n");
  DWORD type = 0;
  EXPECT_EQ("D:\\" + Ansi("ゲーム"),
            ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "MyPath"));
  EXPECT_EQ(std::string("\x01\x02\x03\x04"),
            ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "Long", &type));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ(std::string("\x1F\0\0\0", 4),
            ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "Small", &type));
  EXPECT_EQ(REG_DWORD, type);
  EXPECT_EQ("AB", ReadString(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", "Text", &type));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(RegistryTest, AMalformedHiveIsReportedWithItsLineAndNeverOverwritten) {
  struct Case {
    std::string text;
    int line;
  };
  const Case kCases[] = {
      {"REGEDIT5\n", 1},
      {"REGEDIT4\n\"x\"=\"y\"\n", 2},
      {"REGEDIT4\n\n[Software]\n\"x\"=\"unterminated\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=\"bad \\n escape\"\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=dword:123456789\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=hex:1,2\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=other:1\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"\"y\"\n", 4},
      {"REGEDIT4\n\n[Software\n", 3},
      {"REGEDIT4\n\n[Software]\n\"x\"=\"y\" trailing\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=\"\xFF\"\n", 4},
      {"REGEDIT4\n\n[Software]\n\"x\"=hex(1):ff\n", 4},
  };
  for (const Case& c : kCases) {
    reports_.clear();
    WriteFile(UserHive(), c.text);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BAD_FORMAT,
              RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << c.text;
    EXPECT_EQ(ERROR_BAD_FORMAT, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
    EXPECT_EQ(c.text, ReadFile(UserHive()));
    ASSERT_FALSE(reports_.empty()) << c.text;
    const std::string where = UserHive() + ":" + std::to_string(c.line) + ":";
    EXPECT_NE(std::string::npos, reports_[0].find(where)) << reports_[0];
  }
}

TEST_F(RegistryTest, AFailedSaveKeepsTheOldHive) {
  const std::string before = "REGEDIT4\n\n[Software\\Old]\n\"A\"=\"1\"\n";
  WriteFile(UserHive(), before);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Old", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  {
    win32_testing::FaultyFileSystem faulty;
    faulty.FillDiskAfter(10);
    EXPECT_EQ(ERROR_WRITE_FAULT,
              RegSetValueExA(key, "B", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2));
    faulty.FillDiskAfter(-1);
    faulty.FailCall("rename", "HKEY_CURRENT_USER", EIO);
    EXPECT_EQ(ERROR_WRITE_FAULT,
              RegSetValueExA(key, "B", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2));
  }
  EXPECT_EQ(before, ReadFile(UserHive()));
  for (const auto& entry : fs::directory_iterator(prefix_ + "/registry")) {
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".tmp")) << entry.path();
  }
  EXPECT_EQ(2u, reports_.size());
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "B", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2));
  EXPECT_EQ("REGEDIT4\n\n[Software\\Old]\n\"A\"=\"1\"\n\"B\"=\"2\"\n", ReadFile(UserHive()));
  RegCloseKey(key);
}

TEST_F(RegistryTest, ProcessesWritingAtOnceLoseNoValue) {
  constexpr int kProcesses = 4;
  constexpr int kValues = 10;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HKEY key = nullptr;
      bool ok = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
      for (int v = 0; ok && v < kValues; ++v) {
        const std::string name = "P" + std::to_string(p) + "V" + std::to_string(v);
        ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(name.c_str()),
                            static_cast<DWORD>(name.size() + 1)) == ERROR_SUCCESS;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int p = 0; p < kProcesses; ++p) {
    for (int v = 0; v < kValues; ++v) {
      const std::string name = "P" + std::to_string(p) + "V" + std::to_string(v);
      EXPECT_EQ(name, ReadString(HKEY_CURRENT_USER, "Software\\Race", name));
    }
  }
}

TEST_F(RegistryTest, AMissingHiveIsEmptyAndIsCreated) {
  fs::remove(UserHive());
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0,
                                           nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_EQ("REGEDIT4\n\n[Software\\Korvane\\Tavolin]\n", ReadFile(UserHive()));
}

TEST_F(RegistryTest, RefusesBadArguments) {
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_INVALID_HANDLE,
            RegOpenKeyExA(reinterpret_cast<HKEY>(0x42), "x", 0, KEY_READ, &key));
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegSetValueExA(key, "D", 0, REG_DWORD, reinterpret_cast<const BYTE*>("ab"), 2));
  EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION,
            RegSetValueExA(key, "S", 0, REG_SZ, reinterpret_cast<const BYTE*>("\x80"), 2));
  // Names a hive line could not hold are refused, and the hive stays readable.
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegSetValueExA(key, "two\nlines", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
  RegCloseKey(key);
  for (const char* name : {"Bad\nKey", "-Deleted", "Software\x80"}) {
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key, nullptr))
        << name;
  }
  EXPECT_EQ("REGEDIT4\n\n[Software\\T]\n", ReadFile(UserHive()));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(RegistryTest, TheRootKeyCanHoldValues) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(HKEY_CURRENT_USER, "Top", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>("level"), 6));
  EXPECT_EQ("REGEDIT4\n\n[]\n\"Top\"=\"level\"\n", ReadFile(UserHive()));
  EXPECT_EQ("level", ReadString(HKEY_CURRENT_USER, "", "top"));
  EXPECT_TRUE(reports_.empty());
}

}  // namespace
