// wsprintfA: the formatting of the Windows user library, bounded by the
// destination's size.
#include <cstdarg>
#include <cstring>
#include <string>

#include "win32/kernel.h"

namespace {

struct Spec {
  bool left = false;
  bool zero = false;
  int width = 0;
  int precision = -1;
};

void Pad(std::string& out, std::string text, const Spec& spec, bool numeric) {
  const std::size_t width = static_cast<std::size_t>(spec.width);
  if (text.size() >= width) {
    out += text;
  } else if (spec.left) {
    out += text + std::string(width - text.size(), ' ');
  } else if (spec.zero && numeric) {
    // Zeros go between the sign and the digits: "-05", not "00-5".
    const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    text.insert(sign, width - text.size(), '0');
    out += text;
  } else {
    out += std::string(width - text.size(), ' ') + text;
  }
}

std::string Digits(unsigned long long value, unsigned base, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return text;
}

// Formats one conversion at format[i] (just after the '%'); returns the index
// after it. An unknown conversion is copied as it stands.
std::size_t Convert(const char* format, std::size_t i, va_list& args, std::string& out) {
  const std::size_t start = i - 1;
  Spec spec;
  for (;; ++i) {
    if (format[i] == '-') {
      spec.left = true;
    } else if (format[i] == '0') {
      spec.zero = true;
    } else {
      break;
    }
  }
  while (format[i] >= '0' && format[i] <= '9') spec.width = spec.width * 10 + (format[i++] - '0');
  if (format[i] == '.') {
    spec.precision = 0;
    ++i;
    while (format[i] >= '0' && format[i] <= '9') {
      spec.precision = spec.precision * 10 + (format[i++] - '0');
    }
  }
  // "l" and "h" change nothing: int and long are both 32 bits on Windows.
  while (format[i] == 'l' || format[i] == 'h') ++i;
  switch (format[i]) {
    case '%':
      out += '%';
      break;
    case 's': {
      const char* text = va_arg(args, const char*);
      std::string value = text != nullptr ? text : "(null)";
      if (spec.precision >= 0 && value.size() > static_cast<std::size_t>(spec.precision)) {
        value.resize(static_cast<std::size_t>(spec.precision));
      }
      Pad(out, value, spec, false);
      break;
    }
    case 'c':
      Pad(out, std::string(1, static_cast<char>(va_arg(args, int))), spec, false);
      break;
    case 'd':
    case 'i': {
      const int value = va_arg(args, int);
      const long long wide = value;
      std::string text = Digits(static_cast<unsigned long long>(wide < 0 ? -wide : wide), 10, false);
      if (wide < 0) text.insert(text.begin(), '-');
      Pad(out, text, spec, true);
      break;
    }
    case 'u':
      Pad(out, Digits(va_arg(args, unsigned), 10, false), spec, true);
      break;
    case 'x':
    case 'X':
      Pad(out, Digits(va_arg(args, unsigned), 16, format[i] == 'X'), spec, true);
      break;
    default:
      out.append(format + start, i - start);
      return i;
  }
  return i + 1;
}

}  // namespace

int wsprintfA(LPSTR destination, DWORD size, LPCSTR format, ...) {
  if (destination == nullptr || size == 0) return -1;
  if (format == nullptr) {
    destination[0] = '\0';
    return -1;
  }
  std::string out;
  va_list args;
  va_start(args, format);
  std::size_t i = 0;
  while (format[i] != '\0') {
    if (format[i] == '%') {
      i = Convert(format, i + 1, args, out);
    } else {
      out += format[i++];
    }
  }
  va_end(args);
  if (out.size() + 1 > size) {
    destination[0] = '\0';
    return -1;
  }
  std::memcpy(destination, out.c_str(), out.size() + 1);
  return static_cast<int>(out.size());
}
