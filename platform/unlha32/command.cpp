#include "unlha32/command.h"

#include <string_view>

#include "unlha32/unlha32.h"

namespace unlha32 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
}

// Takes one double-quoted, non-empty path off the front of rest.
bool TakeQuoted(std::string_view& rest, std::string& path) {
  if (rest.empty() || rest.front() != '"') return false;
  const std::size_t close = rest.find('"', 1);
  if (close == std::string_view::npos || close == 1) return false;
  path.assign(rest.substr(1, close - 1));
  rest.remove_prefix(close + 1);
  return true;
}

}  // namespace

int ParseCommand(const char* text, Command& command) {
  if (text == nullptr) return ERROR_NOT_FILENAME;
  std::string_view rest(text);
  SkipBlanks(rest);
  std::size_t wordEnd = 0;
  while (wordEnd < rest.size() && !IsBlank(rest[wordEnd]) && rest[wordEnd] != '"') ++wordEnd;
  if (wordEnd == 0) return ERROR_NOT_FILENAME;
  if (rest.substr(0, wordEnd) != "x") return ERROR_COMMAND_NAME;
  rest.remove_prefix(wordEnd);
  Command parsed;
  if (rest.empty() || !IsBlank(rest.front())) return ERROR_NOT_FILENAME;
  SkipBlanks(rest);
  if (!TakeQuoted(rest, parsed.archive)) return ERROR_NOT_FILENAME;
  if (rest.empty() || !IsBlank(rest.front())) return ERROR_NOT_FILENAME;
  SkipBlanks(rest);
  if (!TakeQuoted(rest, parsed.destination)) return ERROR_NOT_FILENAME;
  SkipBlanks(rest);
  if (!rest.empty()) return ERROR_NOT_FILENAME;
  command = std::move(parsed);
  return 0;
}

}  // namespace unlha32
