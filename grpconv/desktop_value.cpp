#include "grpconv/desktop_value.h"

#include <cstddef>

namespace grpconv {
namespace {

// The length of the UTF-8 sequence at text[i], or 0 when it is no valid one
// (truncated, overlong, a surrogate, above U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsReservedInExec(char c) {
  static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  return kReserved.find(c) != std::string_view::npos;
}

}  // namespace

win32::Expected<std::string> EscapeValue(std::string_view utf8, std::string_view what) {
  std::string escaped;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = Utf8SequenceLength(utf8, i);
    if (length == 0) {
      return win32::Error{std::string(what) + " is not valid UTF-8"};
    }
    const char c = utf8[i];
    if (length == 1 && IsControl(static_cast<unsigned char>(c))) {
      return win32::Error{std::string(what) + " contains a control character"};
    }
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == ' ' && (i == 0 || i + 1 == utf8.size())) {
      escaped += "\\s";
    } else {
      escaped.append(utf8, i, length);
    }
    i += length;
  }
  return escaped;
}

std::string QuoteExecArgument(std::string_view argument, bool always) {
  bool quote = always || argument.empty();
  for (const char c : argument) quote = quote || IsReservedInExec(c);
  std::string result;
  if (quote) result += '"';
  for (const char c : argument) {
    if (c == '%') {
      result += "%%";
      continue;
    }
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) result += '\\';
    result += c;
  }
  if (quote) result += '"';
  return result;
}

win32::Expected<std::string> ExecValue(const std::vector<std::string>& launcher,
                                       std::string_view program) {
  std::string line;
  for (const std::string& word : launcher) {
    line += QuoteExecArgument(word, false);
    line += ' ';
  }
  line += QuoteExecArgument(program, true);
  return EscapeValue(line, "the command line");
}

}  // namespace grpconv
