#include "grpconv/group_file.h"

#include <map>
#include <set>
#include <utility>

#include "win32/codepage.h"

namespace grpconv {
namespace {

constexpr std::string_view kGroupsSection = "progman.groups";
constexpr std::size_t kUsedFieldCount = 6;

struct Line {
  std::string_view text;
  int number = 0;
};

struct Section {
  std::string name;  // lower case
  std::vector<Line> lines;
};

win32::Error LineError(int number, const std::string& what) {
  return win32::Error{"SETUP.INI line " + std::to_string(number) + ": " + what};
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The lines of the data, without their ends, numbered from 1.
std::vector<Line> SplitLines(std::string_view bytes) {
  const std::size_t end = bytes.find('\x1a');
  if (end != std::string_view::npos) bytes = bytes.substr(0, end);
  std::vector<Line> lines;
  int number = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back({bytes.substr(start, i - start), number++});
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({bytes.substr(start), number});
  return lines;
}

// The position of the first "]" that is a character of its own, or npos.
std::size_t FindClosingBracket(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (win32::IsCp932LeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
    } else if (text[i] == ']') {
      return i;
    }
  }
  return std::string_view::npos;
}

// Groups the lines by section; text after "]" on a header line is ignored, as
// Windows profile readers do.
win32::Expected<std::vector<Section>> SplitSections(const std::vector<Line>& lines) {
  std::vector<Section> sections;
  for (const Line& line : lines) {
    const std::string_view text = Trim(line.text);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      const std::size_t close = FindClosingBracket(text);
      if (close == std::string_view::npos) {
        return LineError(line.number, "a section header without \"]\"");
      }
      sections.push_back({LowerAscii(Trim(text.substr(1, close - 1))), {}});
    } else if (!sections.empty()) {
      sections.back().lines.push_back({text, line.number});
    }
  }
  return sections;
}

// A profile value may be written between double quotes; they are not part of it.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

struct GroupEntry {
  std::string key;  // lower case: the section of the group's items
  std::string name;
};

win32::Expected<std::vector<GroupEntry>> ReadGroupEntries(const Section& section) {
  std::vector<GroupEntry> entries;
  for (const Line& line : section.lines) {
    const std::size_t equals = line.text.find('=');
    if (equals == std::string_view::npos) {
      return LineError(line.number, "expected \"group key=group name\"");
    }
    const std::string_view key = Trim(line.text.substr(0, equals));
    if (key.empty()) return LineError(line.number, "a group without a key");
    const std::string_view name = Unquote(Trim(line.text.substr(equals + 1)));
    if (name.empty()) return LineError(line.number, "a group without a name");
    entries.push_back({LowerAscii(key), std::string(name)});
  }
  return entries;
}

// Reads one field starting at pos; leaves pos after the comma that ends it (and
// sets more), or at the end of the text.
win32::Expected<std::string> ReadField(std::string_view text, std::size_t& pos,
                                       bool& more, int lineNumber,
                                       std::size_t fieldNumber) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  std::string field;
  if (pos < text.size() && text[pos] == '"') {
    ++pos;
    for (;;) {
      if (pos >= text.size()) {
        return LineError(lineNumber,
                         "field " + std::to_string(fieldNumber) + " has no closing quote");
      }
      if (text[pos] == '"') {
        if (pos + 1 < text.size() && text[pos + 1] == '"') {
          field += '"';
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      field += text[pos++];
    }
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] != ',') {
      return LineError(lineNumber, "text after the closing quote of field " +
                                       std::to_string(fieldNumber));
    }
  } else {
    const std::size_t comma = text.find(',', pos);
    const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
    field = std::string(Trim(text.substr(pos, end - pos)));
    pos = end;
  }
  more = pos < text.size();
  if (more) ++pos;  // the comma
  return field;
}

win32::Expected<GroupItem> ReadItem(const Line& line) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  bool more = true;
  while (more && fields.size() < kUsedFieldCount) {
    auto field = ReadField(line.text, pos, more, line.number, fields.size() + 1);
    if (!field) return field.error();
    fields.push_back(std::move(*field));
  }
  fields.resize(kUsedFieldCount);
  if (fields[0].empty()) return LineError(line.number, "an item without a name");
  if (fields[1].empty()) return LineError(line.number, "an item without a program");
  return GroupItem{std::move(fields[0]), std::move(fields[1]), std::move(fields[5]),
                   line.number};
}

using SectionIndex = std::map<std::string, std::vector<const Section*>>;

win32::Expected<std::vector<GroupItem>> ReadItems(const SectionIndex& index,
                                                  const std::string& key) {
  std::vector<GroupItem> items;
  const auto found = index.find(key);
  if (found == index.end()) return items;
  for (const Section* section : found->second) {
    for (const Line& line : section->lines) {
      auto item = ReadItem(line);
      if (!item) return item.error();
      items.push_back(std::move(*item));
    }
  }
  return items;
}

}  // namespace

win32::Expected<GroupFile> ParseGroupFile(std::string_view bytes) {
  if (bytes.size() > kMaxGroupFileSize) {
    return win32::Error{"SETUP.INI is larger than " + std::to_string(kMaxGroupFileSize) +
                        " bytes: not a group file"};
  }
  auto sections = SplitSections(SplitLines(bytes));
  if (!sections) return sections.error();
  std::vector<GroupEntry> entries;
  for (const Section& section : *sections) {
    if (section.name != kGroupsSection) continue;
    auto more = ReadGroupEntries(section);
    if (!more) return more.error();
    entries.insert(entries.end(), more->begin(), more->end());
  }
  SectionIndex index;
  for (const Section& section : *sections) index[section.name].push_back(&section);
  GroupFile file;
  std::map<std::string, std::size_t> groupByName;
  std::set<std::pair<std::string, std::string>> read;  // key and group name
  std::size_t itemCount = 0;
  for (const GroupEntry& entry : entries) {
    const auto [place, added] = groupByName.emplace(entry.name, file.groups.size());
    if (added) {
      if (file.groups.size() == kMaxGroups) {
        return win32::Error{"SETUP.INI names more than " + std::to_string(kMaxGroups) +
                            " groups"};
      }
      file.groups.push_back({entry.name, {}});
    }
    // A line listed twice names the same items; they are taken once.
    if (!read.emplace(entry.key, entry.name).second) continue;
    auto items = ReadItems(index, entry.key);
    if (!items) return items.error();
    itemCount += items->size();
    if (itemCount > kMaxItems) {
      return win32::Error{"SETUP.INI holds more than " + std::to_string(kMaxItems) +
                          " items"};
    }
    std::vector<GroupItem>& target = file.groups[place->second].items;
    target.insert(target.end(), items->begin(), items->end());
  }
  return file;
}

win32::Expected<std::vector<std::string>> SplitGroupLevels(std::string_view name) {
  const auto fail = [&](const std::string& what) {
    return win32::Error{"the group name \"" + win32::Cp932ForDisplay(name) + "\" " + what};
  };
  std::vector<std::string> levels(1);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '\\') {
      levels.emplace_back();
      continue;
    }
    levels.back() += c;
    if (win32::IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
      levels.back() += name[++i];
    }
  }
  for (const std::string& level : levels) {
    if (level.empty()) return fail("has an empty level");
  }
  if (levels.size() > kMaxGroupLevels) {
    return fail("has more than " + std::to_string(kMaxGroupLevels) + " levels");
  }
  return levels;
}

}  // namespace grpconv
