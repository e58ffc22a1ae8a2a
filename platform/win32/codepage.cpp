#include "win32/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace win32 {
namespace {

// One converter per direction and thread: iconv descriptors keep shift state and
// must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      std::fprintf(stderr, "iconv cannot convert %s to %s\n", from, to);
      std::abort();
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can. Returns the count of input bytes consumed; stops
  // at the first byte sequence that cannot be converted.
  std::size_t Convert(std::string_view input, std::string& output) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char chunk[256];
    while (inLeft > 0) {
      char* out = chunk;
      std::size_t outLeft = sizeof chunk;
      const std::size_t done = iconv(cd_, &in, &inLeft, &out, &outLeft);
      output.append(chunk, static_cast<std::size_t>(out - chunk));
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    return input.size() - inLeft;
  }

 private:
  iconv_t cd_;
};

Converter& ToUtf8() {
  thread_local Converter converter("UTF-8", "CP932");
  return converter;
}

Converter& FromUtf8() {
  thread_local Converter converter("CP932", "UTF-8");
  return converter;
}

std::string HexBytes(std::string_view bytes) {
  std::string text;
  char hex[8];
  for (unsigned char b : bytes) {
    std::snprintf(hex, sizeof hex, "\\x%02X", b);
    text += hex;
  }
  return text;
}

// The bytes of the character that could not be converted, for the message.
std::string_view Offending(std::string_view rest, bool fromCp932) {
  if (rest.empty()) return rest;
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t length = 1;
  if (fromCp932) {
    length = IsCp932LeadByte(lead) ? 2 : 1;
  } else if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  return rest.substr(0, length);
}

}  // namespace

Expected<std::string> Cp932ToUtf8(std::string_view cp932) {
  std::string utf8;
  const std::size_t used = ToUtf8().Convert(cp932, utf8);
  if (used == cp932.size()) return utf8;
  const std::string_view bad = Offending(cp932.substr(used), true);
  return Error{"the bytes " + HexBytes(bad) + " at offset " + std::to_string(used) +
                   " are not valid in code page 932",
               EILSEQ};
}

Expected<std::string> Utf8ToCp932(std::string_view utf8) {
  std::string cp932;
  const std::size_t used = FromUtf8().Convert(utf8, cp932);
  if (used == utf8.size()) return cp932;
  const std::string_view bad = Offending(utf8.substr(used), false);
  return Error{"the character " + HexBytes(bad) + " (UTF-8) at offset " +
                   std::to_string(used) + " cannot be written in code page 932",
               EILSEQ};
}

std::string Ansi(std::string_view utf8Literal) {
  Expected<std::string> bytes = Utf8ToCp932(utf8Literal);
  if (!bytes) {
    std::fprintf(stderr, "text not representable in code page 932: %s\n",
                 bytes.error().reason.c_str());
    std::abort();
  }
  return *bytes;
}

std::string Cp932ForDisplay(std::string_view cp932) {
  std::string text;
  while (!cp932.empty()) {
    const std::size_t used = ToUtf8().Convert(cp932, text);
    cp932.remove_prefix(used);
    if (cp932.empty()) break;
    text += HexBytes(cp932.substr(0, 1));
    cp932.remove_prefix(1);
  }
  return text;
}

bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool EndsWithSeparator(std::string_view text) {
  bool separator = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(b) && i + 1 < text.size()) {
      separator = false;
      ++i;
      continue;
    }
    separator = b == '\\' || b == '/';
  }
  return separator;
}

}  // namespace win32
