// The group description file SETUP.INI, as the installer writes it:
//
//   [progman.groups]
//   groupX=<group name>
//   [groupX]
//   "<item name>","<program>",,,,"<working folder>"
//
// Bytes are code page 932. Lines end with CR LF, LF or CR; a byte 0x1A ends the
// data, as in old text files. Names of keys and sections compare without regard to
// ASCII case. Lines before the first section, blank lines, lines starting with ";"
// and sections no group names are ignored. A group whose section is missing has no
// items. Every item line is a comma-separated list of fields, each plain or between
// double quotes (a quoted field may hold commas, and "" stands for one quote); only
// fields 1 (name), 2 (program) and 6 (working folder) are used, missing ones are
// empty and fields after the sixth are ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "win32/result.h"

namespace grpconv {

struct GroupItem {
  std::string name;           // CP932
  std::string program;        // a Windows path, CP932
  std::string workingFolder;  // a Windows path, CP932; may be empty
  int line = 0;               // where the item stands in the file
};

struct Group {
  std::string name;  // CP932, levels joined by "\"
  std::vector<GroupItem> items;
};

struct GroupFile {
  // In the order of [progman.groups]; a name listed twice is one group whose items
  // are those of both sections, in file order.
  std::vector<Group> groups;
};

// The installer's file is a few hundred bytes with one group and one item; these
// bounds keep the work and the files written small whatever the input.
inline constexpr std::size_t kMaxGroupFileSize = 64 * 1024;
inline constexpr std::size_t kMaxGroups = 64;
inline constexpr std::size_t kMaxItems = 1024;

// Parses the whole file. Fails, with the line and what is wrong, on a line of
// [progman.groups] that is no "key=name", on an item line without a name or a
// program, on an unclosed quote, on text after a closing quote, and on a file
// beyond the bounds above.
win32::Expected<GroupFile> ParseGroupFile(std::string_view bytes);

// A group name may nest: "A\B" is the group B inside the group A.
inline constexpr std::size_t kMaxGroupLevels = 8;

// Splits a group name at each "\" that is a character of its own (not the second
// byte of a double-byte character). Fails for an empty name, an empty level and
// more than kMaxGroupLevels levels.
win32::Expected<std::vector<std::string>> SplitGroupLevels(std::string_view name);

}  // namespace grpconv
