// A registry hive in memory, and its text form: the syntax of REGEDIT4 exports,
// UTF-8, keys relative to the hive's root.
//
//   REGEDIT4
//
//   [Software\Korvane\Tavolin]
//   "MyPath"="C:\\Games"
//   "Other"=str(2):"%ProgramFiles%\\X"
//   "Count"=dword:0000000a
//   "Blob"=hex:01,02,03
//   @="the key's default value"
//
// A string that holds a line break or another control character cannot be
// written between quotes; it is written as hex(1): or hex(2): with its UTF-8
// bytes, and read back as the string it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win32/result.h"
#include "win32/types.h"

namespace win32 {

struct HiveValue {
  std::string name;  // UTF-8; empty for the default value
  DWORD type = 0;
  std::string data;  // strings: UTF-8 without terminator; REG_DWORD: 4 bytes, little-endian
};

struct HiveKey {
  std::string path;  // UTF-8, "\"-separated, as first written
  std::vector<HiveValue> values;

  HiveValue* FindValue(std::string_view name);
};

struct Hive {
  std::vector<HiveKey> keys;

  // The key of that path (compared ignoring case), or null.
  HiveKey* FindKey(std::string_view path);
  // True when the key is listed or some listed key lies below it.
  bool HasKey(std::string_view path) const;
  // The key of that path, added when missing.
  HiveKey& AddKey(std::string_view path);
};

// Reads the text of a hive. A malformed one fails with "file:line: reason".
Expected<Hive> ParseHive(std::string_view text, const std::string& fileName);

std::string FormatHive(const Hive& hive);

}  // namespace win32
