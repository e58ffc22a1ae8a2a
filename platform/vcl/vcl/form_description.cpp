#include "vcl/form_description.h"

#include <cctype>

#include "vcl/exception.h"
#include "win32/codepage.h"

namespace vcl {
namespace {

// Appends code point cp to out as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view resource) : text_(text), resource_(resource) {}

  FormObject ParseRoot() {
    FormObject root = ParseObject();
    SkipBlanks();
    if (pos_ != text_.size()) Fail("text after the final \"end\"");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EResNotFound(AnsiString("form description " + std::string(resource_) + ", line " +
                                  std::to_string(line_) + ": " + what));
  }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (text_.substr(pos_, 2) == "//") {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  static bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
  }

  bool AtWord(std::string_view word) {
    SkipBlanks();
    if (text_.substr(pos_, word.size()) != word) return false;
    const std::size_t after = pos_ + word.size();
    return after >= text_.size() || !IsNameChar(text_[after]);
  }

  std::string Name() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && (IsNameChar(text_[pos_]) || text_[pos_] == '.')) ++pos_;
    if (pos_ == start) Fail("a name was expected");
    return std::string(text_.substr(start, pos_ - start));
  }

  void Expect(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail(std::string("\"") + c + "\" was expected");
    ++pos_;
  }

  FormObject ParseObject() {
    if (!AtWord("object")) Fail("\"object\" was expected");
    FormObject object;
    object.line = line_;
    pos_ += 6;
    object.name = Name();
    Expect(':');
    object.className = Name();
    while (true) {
      if (AtWord("end")) {
        pos_ += 3;
        return object;
      }
      if (AtWord("object")) {
        object.children.push_back(ParseObject());
        continue;
      }
      if (pos_ >= text_.size()) Fail("\"end\" was expected");
      FormProperty property;
      property.name = Name();
      Expect('=');
      property.value = ParseValue();
      object.properties.push_back(std::move(property));
    }
  }

  FormValue ParseValue() {
    SkipBlanks();
    FormValue value;
    value.line = line_;
    if (pos_ >= text_.size()) Fail("a value was expected");
    const char c = text_[pos_];
    if (c == '\'' || c == '#') {
      value.kind = FormValue::Kind::String;
      value.text = ParseString();
    } else if (c == '[') {
      value.kind = FormValue::Kind::Set;
      ++pos_;
      SkipBlanks();
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        return value;
      }
      while (true) {
        value.items.push_back(Name());
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ',') {
          ++pos_;
          continue;
        }
        Expect(']');
        break;
      }
    } else if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c)) != 0) {
      value.kind = FormValue::Kind::Integer;
      value.integer = ParseInteger();
    } else {
      value.kind = FormValue::Kind::Identifier;
      value.text = Name();
    }
    return value;
  }

  std::int64_t ParseInteger() {
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
      negative = text_[pos_] == '-';
      ++pos_;
    }
    if (pos_ >= text_.size() || std::isdigit(static_cast<unsigned char>(text_[pos_])) == 0) {
      Fail("digits were expected");
    }
    std::int64_t value = 0;
    while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])) != 0) {
      value = value * 10 + (text_[pos_] - '0');
      if (value > 0x7FFFFFFF) Fail("the number is out of range");
      ++pos_;
    }
    return negative ? -value : value;
  }

  // Quoted pieces and #nnn codes, adjacent or joined with "+"; the UTF-8 result is
  // converted to CP932 at the end.
  std::string ParseString() {
    std::string utf8;
    while (true) {
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        ++pos_;
        while (true) {
          if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated string");
          if (text_[pos_] == '\'') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
              utf8 += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          utf8 += text_[pos_++];
        }
      } else if (pos_ < text_.size() && text_[pos_] == '#') {
        ++pos_;
        const std::int64_t code = ParseInteger();
        if (code <= 0 || code > 0x10FFFF) Fail("character code out of range");
        AppendUtf8(utf8, static_cast<std::uint32_t>(code));
      } else {
        break;
      }
      // A "+" continues the string, possibly on the next line.
      const std::size_t save = pos_;
      const int saveLine = line_;
      SkipBlanks();
      if (pos_ < text_.size() && text_[pos_] == '+') {
        ++pos_;
        SkipBlanks();
        if (pos_ >= text_.size() || (text_[pos_] != '\'' && text_[pos_] != '#')) {
          Fail("a string was expected after \"+\"");
        }
      } else {
        pos_ = save;
        line_ = saveLine;
        if (pos_ >= text_.size() || (text_[pos_] != '\'' && text_[pos_] != '#')) break;
      }
    }
    auto cp932 = win32::Utf8ToCp932(utf8);
    if (!cp932) Fail("the text cannot be held in code page 932: " + cp932.error().reason);
    return *cp932;
  }

  std::string_view text_;
  std::string_view resource_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

FormObject ParseFormDescription(std::string_view utf8Text, std::string_view resourceName) {
  return Parser(utf8Text, resourceName).ParseRoot();
}

}  // namespace vcl
