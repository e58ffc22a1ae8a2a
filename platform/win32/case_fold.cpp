#include "case_fold.h"

#include <locale.h>
#include <wctype.h>

#include "win32/codepage.h"

namespace win32 {
namespace {

locale_t Utf8Locale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  return locale;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes one character at text[i]; length 0 when the bytes are no valid UTF-8.
char32_t Decode(std::string_view text, std::size_t i, std::size_t& length) {
  const auto b = static_cast<unsigned char>(text[i]);
  length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
  if (length == 0 || i + length > text.size()) {
    length = 0;
    return 0;
  }
  char32_t code = length == 1 ? b : b & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) {
      length = 0;
      return 0;
    }
    code = (code << 6) | (c & 0x3F);
  }
  return code;
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
  std::string folded;
  folded.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      folded += static_cast<char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
      ++i;
      continue;
    }
    std::size_t length = 0;
    const char32_t code = Decode(utf8, i, length);
    if (length == 0) {
      folded += utf8[i++];
      continue;
    }
    const auto upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(code), Utf8Locale()));
    AppendUtf8(folded, upper);
    i += length;
  }
  return folded;
}

std::string FoldCp932(std::string_view cp932) {
  std::string folded(cp932);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto b = static_cast<unsigned char>(folded[i]);
    if (IsCp932LeadByte(b)) {
      ++i;
    } else if (b >= 'a' && b <= 'z') {
      folded[i] = static_cast<char>(b - 'a' + 'A');
    }
  }
  return folded;
}

}  // namespace win32
