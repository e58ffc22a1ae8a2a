#include "hive.h"

#include <algorithm>
#include <cstdio>

#include "case_fold.h"
#include "host_path.h"

namespace win32 {
namespace {

constexpr DWORD kSz = 1;
constexpr DWORD kExpandSz = 2;
constexpr DWORD kBinary = 3;
constexpr DWORD kDword = 4;

bool SameName(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

// Reads a quoted text at text[pos] (the opening quote); pos ends after the
// closing quote. Only \\ and \" are escapes.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out, std::string& why) {
  if (pos >= text.size() || text[pos] != '"') {
    why = "a double quote is missing";
    return false;
  }
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (pos + 1 >= text.size() || (text[pos + 1] != '\\' && text[pos + 1] != '"')) {
        why = "a backslash must be written as \\\\";
        return false;
      }
      out += text[++pos];
    } else {
      out += c;
    }
  }
  why = "the closing double quote is missing";
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHexBytes(std::string_view text, std::string& out, std::string& why) {
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  };
  skipBlanks();
  if (pos == text.size()) return true;
  while (true) {
    skipBlanks();
    if (pos + 2 > text.size() || HexDigit(text[pos]) < 0 || HexDigit(text[pos + 1]) < 0) {
      why = "bytes must be written as two hex digits separated by commas";
      return false;
    }
    out += static_cast<char>(HexDigit(text[pos]) * 16 + HexDigit(text[pos + 1]));
    pos += 2;
    skipBlanks();
    if (pos == text.size()) return true;
    if (text[pos++] != ',') {
      why = "bytes must be written as two hex digits separated by commas";
      return false;
    }
  }
}

bool OnlyBlanks(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The data after "=": the value's type and bytes.
bool ReadData(std::string_view text, HiveValue& value, std::string& why) {
  std::size_t pos = 0;
  if (!text.empty() && text[0] == '"') {
    value.type = kSz;
    if (!ReadQuoted(text, pos, value.data, why)) return false;
  } else if (text.substr(0, 7) == "str(2):") {
    value.type = kExpandSz;
    pos = 7;
    if (!ReadQuoted(text, pos, value.data, why)) return false;
  } else if (text.substr(0, 6) == "dword:") {
    pos = 6;
    DWORD number = 0;
    std::size_t digits = 0;
    while (pos < text.size() && HexDigit(text[pos]) >= 0 && digits < 9) {
      number = number * 16 + static_cast<DWORD>(HexDigit(text[pos++]));
      ++digits;
    }
    if (digits == 0 || digits > 8) {
      why = "a dword must be written as up to eight hex digits";
      return false;
    }
    value.type = kDword;
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
  } else if (text.substr(0, 4) == "hex:" || text.substr(0, 4) == "hex(") {
    value.type = kBinary;
    pos = 4;
    if (text[3] == '(') {
      const std::size_t close = text.find("):", 4);
      if (close == std::string_view::npos || close == 4 || close > 12) {
        why = "hex(type): is malformed";
        return false;
      }
      DWORD type = 0;
      for (std::size_t i = 4; i < close; ++i) {
        if (HexDigit(text[i]) < 0) {
          why = "hex(type): is malformed";
          return false;
        }
        type = type * 16 + static_cast<DWORD>(HexDigit(text[i]));
      }
      value.type = type;
      pos = close + 2;
    }
    if (!ReadHexBytes(text.substr(pos), value.data, why)) return false;
    pos = text.size();
    if (value.type == kSz || value.type == kExpandSz) {
      // Strings written as bytes: UTF-8, perhaps with a terminator.
      if (!value.data.empty() && value.data.back() == '\0') value.data.pop_back();
      if (!IsValidUtf8(value.data)) {
        why = "the bytes of a string are no UTF-8";
        return false;
      }
    }
  } else {
    why = "the value's data is neither \"text\", str(2):, dword: nor hex:";
    return false;
  }
  if (!OnlyBlanks(text.substr(pos))) {
    why = "unexpected text after the value";
    return false;
  }
  return true;
}

struct Lines {
  std::string_view text;
  std::size_t pos = 0;
  int number = 0;

  bool Next(std::string& line) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    line.assign(text.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    ++number;
    return true;
  }
};

std::string Escaped(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string HexList(std::string_view bytes) {
  std::string out;
  char hex[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i > 0) out += ',';
    out += hex;
  }
  return out;
}

bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::string FormatData(const HiveValue& value) {
  const bool text = value.type == kSz || value.type == kExpandSz;
  if (text && !HasControlCharacter(value.data)) {
    return (value.type == kExpandSz ? "str(2):" : "") + Escaped(value.data);
  }
  if (value.type == kDword && value.data.size() == 4) {
    DWORD number = 0;
    for (int i = 3; i >= 0; --i) number = number * 256 + static_cast<unsigned char>(value.data[i]);
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", number);
    return digits;
  }
  if (value.type == kBinary) return "hex:" + HexList(value.data);
  char type[16];
  std::snprintf(type, sizeof type, "hex(%x):", value.type);
  // A string written as bytes carries its terminator, which the reader drops
  // again; without it a string that ends in a NUL would lose it at every save.
  return type + HexList(text ? value.data + '\0' : value.data);
}

}  // namespace

HiveValue* HiveKey::FindValue(std::string_view name) {
  for (HiveValue& value : values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

HiveKey* Hive::FindKey(std::string_view path) {
  for (HiveKey& key : keys) {
    if (SameName(key.path, path)) return &key;
  }
  return nullptr;
}

bool Hive::HasKey(std::string_view path) const {
  if (path.empty()) return true;
  const std::string folded = FoldCase(path);
  for (const HiveKey& key : keys) {
    const std::string other = FoldCase(key.path);
    if (other == folded || (other.size() > folded.size() && other.compare(0, folded.size(), folded) == 0 &&
                            other[folded.size()] == '\\')) {
      return true;
    }
  }
  return false;
}

HiveKey& Hive::AddKey(std::string_view path) {
  if (HiveKey* key = FindKey(path)) return *key;
  keys.push_back(HiveKey{std::string(path), {}});
  return keys.back();
}

Expected<Hive> ParseHive(std::string_view text, const std::string& fileName) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Lines lines{text};
  Hive hive;
  // An index, not a pointer: adding keys moves them.
  std::size_t key = 0;
  bool inKey = false;
  bool header = false;
  std::string line;
  auto fail = [&](const std::string& why) {
    return Error{fileName + ":" + std::to_string(lines.number) + ": " + why, EINVAL};
  };
  while (lines.Next(line)) {
    if (!IsValidUtf8(line)) return fail("the line is no UTF-8 text");
    if (OnlyBlanks(line) || line[0] == ';') continue;
    if (!header) {
      if (line != "REGEDIT4") return fail("the file does not start with REGEDIT4");
      header = true;
      continue;
    }
    if (line[0] == '[') {
      // "[]" holds the values of the root key itself; "[-name]", which deletes a
      // key in files meant for import, has no place in a hive.
      if (line.back() != ']' || line.size() < 2 || line[1] == '-') {
        return fail("a key must be written as [name]");
      }
      HiveKey& added = hive.AddKey(std::string_view(line).substr(1, line.size() - 2));
      key = static_cast<std::size_t>(&added - hive.keys.data());
      inKey = true;
      continue;
    }
    if (!inKey) return fail("a value comes before any key");
    HiveValue value;
    std::size_t pos = 0;
    std::string why;
    if (line[0] == '@') {
      pos = 1;
    } else if (!ReadQuoted(line, pos, value.name, why)) {
      return fail(why);
    }
    if (pos >= line.size() || line[pos] != '=') return fail("\"=\" is missing after the value's name");
    std::string data = line.substr(pos + 1);
    // Byte lists may go on over several lines, each ending with a backslash.
    while (data.rfind("hex", 0) == 0 && !data.empty() && data.back() == '\\') {
      data.pop_back();
      std::string more;
      if (!lines.Next(more)) return fail("the byte list ends with a backslash");
      data += more.substr(std::min(more.find_first_not_of(" \t"), more.size()));
    }
    if (!ReadData(data, value, why)) return fail(why);
    HiveKey& current = hive.keys[key];
    if (HiveValue* existing = current.FindValue(value.name)) {
      *existing = std::move(value);
    } else {
      current.values.push_back(std::move(value));
    }
  }
  if (!header && !hive.keys.empty()) return fail("the file does not start with REGEDIT4");
  return hive;
}

std::string FormatHive(const Hive& hive) {
  std::string text = "REGEDIT4\n";
  for (const HiveKey& key : hive.keys) {
    text += "\n[" + key.path + "]\n";
    for (const HiveValue& value : key.values) {
      text += (value.name.empty() ? std::string("@") : Escaped(value.name)) + "=" +
              FormatData(value) + "\n";
    }
  }
  return text;
}

}  // namespace win32
