#include "grpconv/entry_names.h"

#include <cstdint>

namespace grpconv {
namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

// The hash of the parts, each ended by a NUL so that ("ab", "c") and ("a", "bc")
// differ. kind keeps the names of levels, menus, categories and items apart.
std::string Hash(char kind, std::string_view first, std::string_view second = {}) {
  std::uint64_t hash = kFnvOffset;
  const auto add = [&](std::string_view bytes) {
    for (const char c : bytes) {
      hash ^= static_cast<unsigned char>(c);
      hash *= kFnvPrime;
    }
    hash ^= 0;
    hash *= kFnvPrime;
  };
  add(std::string_view(&kind, 1));
  add(first);
  add(second);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[hash & 0xf];
    hash >>= 4;
  }
  return text;
}

}  // namespace

std::string LevelId(std::string_view levelPath) {
  return std::string(kVendorPrefix) + "g" + Hash('L', levelPath);
}

std::string MenuId(std::string_view groupName) {
  return std::string(kVendorPrefix) + "m" + Hash('M', groupName);
}

std::string GroupCategory(std::string_view groupName) {
  return std::string(kCategory) + "-" + Hash('C', groupName);
}

std::string ItemId(std::string_view groupName, std::string_view itemName) {
  return std::string(kVendorPrefix) + Hash('I', groupName, itemName);
}

}  // namespace grpconv
