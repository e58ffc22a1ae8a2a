#include "unlha32/entry_name.h"

namespace unlha32 {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

win32::Error Refused(const std::string& name, const char* why) {
  return win32::Error{"名前 \"" + name + "\" は " + why + " ため展開できません。", 0};
}

}  // namespace

win32::Expected<std::vector<std::string>> SplitEntryName(const std::string& utf8Name) {
  if (utf8Name.empty()) return Refused(utf8Name, "空である");
  if (IsSeparator(utf8Name.front())) return Refused(utf8Name, "絶対パスである");
  for (const char c : utf8Name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ':') return Refused(utf8Name, "ドライブ名かストリーム名を含む");
    if (byte < 0x20 || byte == 0x7F) return Refused(utf8Name, "制御文字を含む");
  }
  std::vector<std::string> components;
  std::size_t start = 0;
  while (start <= utf8Name.size()) {
    std::size_t end = start;
    while (end < utf8Name.size() && !IsSeparator(utf8Name[end])) ++end;
    const std::string part = utf8Name.substr(start, end - start);
    if (part == "..") return Refused(utf8Name, "親フォルダ (..) を指す");
    if (!part.empty() && part != ".") components.push_back(part);
    start = end + 1;
  }
  if (components.empty()) return Refused(utf8Name, "ファイル名を持たない");
  return components;
}

std::string DisplayName(const std::vector<std::string>& components) {
  std::string name;
  for (const auto& part : components) {
    if (!name.empty()) name += '\\';
    name += part;
  }
  return name;
}

}  // namespace unlha32
