// The class library's string: a value holding code page 932 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vcl {

// AnsiString holds CP932 bytes exactly as the program handles them; it never
// converts on its own. Conversion to and from Qt's text happens only inside the
// form library. Deliberately differs from the original: a plain value (std::string
// inside) instead of a reference-counted buffer, and no 1-based indexing.
class AnsiString {
 public:
  AnsiString() = default;
  AnsiString(const char* text) : bytes_(text != nullptr ? text : "") {}  // NOLINT: implicit as in VCL
  AnsiString(std::string_view bytes) : bytes_(bytes) {}                  // NOLINT: implicit as in VCL
  AnsiString(const std::string& bytes) : bytes_(bytes) {}                // NOLINT: implicit as in VCL

  // The bytes, NUL-terminated (an embedded NUL ends the C view of them).
  const char* c_str() const { return bytes_.c_str(); }
  int Length() const { return static_cast<int>(bytes_.size()); }
  bool IsEmpty() const { return bytes_.empty(); }
  const std::string& bytes() const { return bytes_; }
  std::string_view view() const { return bytes_; }

  AnsiString& operator+=(const AnsiString& other) {
    bytes_ += other.bytes_;
    return *this;
  }
  friend AnsiString operator+(AnsiString left, const AnsiString& right) {
    left += right;
    return left;
  }
  friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.bytes_ == b.bytes_; }
  friend bool operator!=(const AnsiString& a, const AnsiString& b) { return !(a == b); }

 private:
  std::string bytes_;
};

// The UTF-8 form of the system's own text literal as an AnsiString (CP932).
AnsiString Ansi(std::string_view utf8Literal);

}  // namespace vcl
