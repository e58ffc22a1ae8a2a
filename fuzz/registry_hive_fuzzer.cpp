// Registry hive files (REGEDIT4 text in the prefix): any bytes. The text reader
// alone, with its writer for a round trip, and, for inputs whose first byte is
// odd, the registry calls on a hive file holding the same text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "hive.h"
#include "support/fuzz_check.h"
#include "support/fuzz_home.h"
#include "win32/codepage.h"
#include "win32/prefix.h"
#include "win32/registry.h"

namespace {

constexpr const char* kFileName = "HKEY_CURRENT_USER.reg";

std::string& HiveFile() {
  static std::string file;
  return file;
}

std::string ReadBack() {
  std::string bytes;
  if (FILE* f = std::fopen(HiveFile().c_str(), "rb")) {
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    std::fclose(f);
  }
  return bytes;
}

// The calls refuse names with control characters and key paths with an empty
// name or a first name that starts with "-" (a hive line could not hold them as
// written); a hive file may still hold such names, which are then simply not
// reachable through the calls.
bool ReachableName(std::string_view name) {
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool ReachableKey(std::string_view path) {
  if (!ReachableName(path) || path.empty() || path.front() == '-') return false;
  return path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string_view::npos;
}

// What the registry calls give for one value must be what the hive holds.
void CheckQuery(HKEY key, const win32::HiveValue& value) {
  if (!ReachableName(value.name)) return;
  auto name = win32::Utf8ToCp932(value.name);
  if (!name) return;
  DWORD type = 0;
  DWORD size = 0;
  const LONG sized = RegQueryValueExA(key, name->c_str(), nullptr, &type, nullptr, &size);
  if (sized == ERROR_NO_UNICODE_TRANSLATION) return;
  // A name with a NUL inside cannot be asked for through a C string.
  if (name->find('\0') != std::string::npos) return;
  FUZZ_CHECK(sized == ERROR_SUCCESS);
  FUZZ_CHECK(type == value.type);
  auto exact = std::make_unique<BYTE[]>(size + 1);
  DWORD room = size;
  FUZZ_CHECK(RegQueryValueExA(key, name->c_str(), nullptr, nullptr, exact.get(), &room) ==
             ERROR_SUCCESS);
  FUZZ_CHECK(room == size);
  if (size > 0) {
    // One byte short: refused, told the size, and nothing written past the room.
    auto shortBuffer = std::make_unique<BYTE[]>(size - 1 + 1);
    room = size - 1;
    FUZZ_CHECK(RegQueryValueExA(key, name->c_str(), nullptr, nullptr, shortBuffer.get(),
                                &room) == ERROR_MORE_DATA);
    FUZZ_CHECK(room == size);
  }
}

void CheckRegistryCalls(const std::string& text, const win32::Expected<win32::Hive>& parsed) {
  FUZZ_CHECK(fuzz_support::WriteHostBytes(HiveFile(), text));
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key);
  if (key != nullptr) RegCloseKey(key);
  if (!parsed) {
    // A malformed hive is refused and never overwritten.
    FUZZ_CHECK(opened == ERROR_BAD_FORMAT);
    HKEY created = nullptr;
    FUZZ_CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Fuzz", 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &created, nullptr) == ERROR_BAD_FORMAT);
    FUZZ_CHECK(ReadBack() == text);
    return;
  }
  win32::Hive hive = *parsed;
  for (const win32::HiveKey& k : hive.keys) {
    if (!ReachableKey(k.path)) continue;
    auto path = win32::Utf8ToCp932(k.path);
    if (!path) continue;
    HKEY open = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path->c_str(), 0, KEY_READ, &open);
    FUZZ_CHECK(result == ERROR_SUCCESS);
    for (const win32::HiveValue& value : k.values) CheckQuery(open, value);
    RegCloseKey(open);
  }
  // A value set is kept, and everything that was there stays.
  HKEY created = nullptr;
  FUZZ_CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Fuzz", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &created, nullptr) == ERROR_SUCCESS);
  const BYTE value[] = "fuzz";
  FUZZ_CHECK(RegSetValueExA(created, "V", 0, REG_SZ, value, sizeof value) == ERROR_SUCCESS);
  RegCloseKey(created);
  auto after = win32::ParseHive(ReadBack(), kFileName);
  FUZZ_CHECK(after.ok());
  hive.AddKey("Software\\Fuzz");
  win32::HiveKey* fuzzKey = hive.FindKey("Software\\Fuzz");
  if (win32::HiveValue* v = fuzzKey->FindValue("V")) {
    *v = win32::HiveValue{v->name, REG_SZ, "fuzz"};
  } else {
    fuzzKey->values.push_back(win32::HiveValue{"V", REG_SZ, "fuzz"});
  }
  FUZZ_CHECK(win32::FormatHive(*after) == win32::FormatHive(hive));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  auto prefix = win32::EnsurePrefix();
  if (prefix) HiveFile() = *prefix + "/registry/" + kFileName;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool callRegistry = (data[0] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  auto parsed = win32::ParseHive(text, kFileName);
  if (!parsed) {
    FUZZ_CHECK(parsed.error().reason.rfind(std::string(kFileName) + ":", 0) == 0);
  } else {
    // What the writer makes of a hive reads back as the same hive.
    const std::string formatted = win32::FormatHive(*parsed);
    auto again = win32::ParseHive(formatted, kFileName);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(win32::FormatHive(*again) == formatted);
  }
  if (callRegistry) CheckRegistryCalls(text, parsed);
  return 0;
}
