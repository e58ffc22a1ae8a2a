#include "short_name.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "case_fold.h"
#include "win32/codepage.h"

namespace win32 {
namespace {

bool IsShortNameByte(unsigned char b) {
  if (b >= 0xA1 && b <= 0xDF) return true;  // half-width katakana
  if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) return true;
  return b != 0 && std::strchr("!#$%&'()-@^_`{}~", b) != nullptr;
}

// CP932 bytes of a host name; characters CP932 cannot hold become "_".
std::string ToCp932Lossy(std::string_view utf8) {
  if (Expected<std::string> whole = Utf8ToCp932(utf8)) return *whole;
  std::string cp932;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t length = 1;
    while (i + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    Expected<std::string> one = Utf8ToCp932(utf8.substr(i, length));
    cp932 += one ? *one : std::string("_");
    i += length;
  }
  return cp932;
}

// The first bytes of text, at most limit of them, never half a character.
std::string CutWhole(std::string_view text, std::size_t limit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + length > limit) break;
    i += length;
  }
  return std::string(text.substr(0, i));
}

// Upper case, spaces and dots dropped, other unfit characters as "_".
std::string CleanPart(std::string_view text) {
  std::string clean;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(b) && i + 1 < text.size()) {
      clean += text.substr(i, 2);
      ++i;
    } else if (b == ' ' || b == '.') {
      continue;
    } else if (b >= 'a' && b <= 'z') {
      clean += static_cast<char>(b - 'a' + 'A');
    } else {
      clean += IsShortNameByte(b) ? static_cast<char>(b) : '_';
    }
  }
  return clean;
}

struct Stem {
  std::string base;
  std::string extension;
};

Stem StemOf(std::string_view cp932) {
  std::size_t start = 0;
  while (start < cp932.size() && cp932[start] == '.') ++start;
  const std::string_view name = cp932.substr(start);
  // The last dot that is a character of its own (0x2E is never a second byte).
  const std::size_t dot = name.rfind('.');
  Stem stem;
  stem.base = CleanPart(dot == std::string_view::npos ? name : name.substr(0, dot));
  if (dot != std::string_view::npos) stem.extension = CutWhole(CleanPart(name.substr(dot + 1)), 3);
  if (stem.base.empty()) stem.base = "_";
  return stem;
}

std::string Numbered(const Stem& stem, unsigned n) {
  const std::string tail = "~" + std::to_string(n);
  std::string name = CutWhole(stem.base, std::min<std::size_t>(6, 8 - tail.size())) + tail;
  if (!stem.extension.empty()) name += "." + stem.extension;
  return name;
}

// Folded UTF-8 form of a CP932 short name, for comparisons.
std::string FoldedKey(const std::string& cp932) {
  Expected<std::string> utf8 = Cp932ToUtf8(cp932);
  return FoldCase(utf8 ? *utf8 : cp932);
}

}  // namespace

bool IsValidShortName(std::string_view cp932) {
  if (cp932.empty() || cp932 == "." || cp932 == "..") return false;
  std::size_t baseLength = 0;
  std::size_t extensionLength = 0;
  bool dot = false;
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    std::size_t length = 1;
    if (b == '.') {
      if (dot || i == 0) return false;
      dot = true;
      continue;
    }
    if (IsCp932LeadByte(b)) {
      if (i + 1 >= cp932.size()) return false;
      length = 2;
      ++i;
    } else if (!IsShortNameByte(b)) {
      return false;
    }
    (dot ? extensionLength : baseLength) += length;
  }
  if (dot && extensionLength == 0) return false;
  return baseLength >= 1 && baseLength <= 8 && extensionLength <= 3;
}

std::unordered_map<std::string, std::string> AssignShortNames(
    const std::vector<std::string>& sortedNames) {
  std::unordered_map<std::string, std::string> shortOf;
  std::unordered_set<std::string> taken;
  std::vector<std::pair<const std::string*, std::string>> pending;
  for (const std::string& name : sortedNames) {
    std::string cp932 = ToCp932Lossy(name);
    if (IsValidShortName(cp932) && taken.insert(FoldedKey(cp932)).second) {
      shortOf.emplace(name, std::move(cp932));
    } else {
      pending.emplace_back(&name, std::move(cp932));
    }
  }
  // Names that share a stem continue its numbering instead of trying ~1 again,
  // so that a folder of many similar names costs linear work.
  std::unordered_map<std::string, unsigned> nextNumber;
  for (const auto& [name, cp932] : pending) {
    const Stem stem = StemOf(cp932);
    unsigned& n = nextNumber[stem.base + "." + stem.extension];
    while (true) {
      std::string candidate = Numbered(stem, ++n);
      if (taken.insert(FoldedKey(candidate)).second) {
        shortOf.emplace(*name, std::move(candidate));
        break;
      }
    }
  }
  return shortOf;
}

}  // namespace win32
