// Stored form descriptions: the text syntax of "object Form2: TForm2 ... end".
//
//   object Form2: TForm2
//     Caption = 'セットアップ'          a string: 'quoted' pieces and #nnn codes,
//     Font.Name = 'ＭＳ Ｐゴシック'     joined directly or with "+" across lines
//     ClientWidth = 433                 an integer, optionally signed
//     BorderStyle = bsDialog            an identifier (True and False included)
//     BorderIcons = []                  a set of identifiers: [biSystemMenu]
//     OnShow = FormShow                 an event, bound to the form's handler
//     object Label1: TLabel ... end     a nested component
//   end
//
// The description text is UTF-8. A quoted piece stands for its characters, ''
// for one quote; #nnn is the character with Unicode code point nnn. A string's
// value is converted to CP932 as a whole, so the program receives exactly the
// CP932 bytes of the text; a character CP932 cannot hold is an error. "//" starts
// a comment to the end of the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

struct FormValue {
  enum class Kind { Integer, Identifier, String, Set };
  Kind kind = Kind::Integer;
  std::int64_t integer = 0;
  std::string text;               // Identifier: its name; String: CP932 bytes
  std::vector<std::string> items;  // Set: its identifiers
  int line = 0;
};

struct FormProperty {
  std::string name;  // possibly dotted: "Font.Name"
  FormValue value;
};

struct FormObject {
  std::string name;       // "Form2"
  std::string className;  // "TForm2"
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;
  int line = 0;
};

// Parses one description. A syntax error throws EResNotFound naming the resource
// (for the message only) and the line.
FormObject ParseFormDescription(std::string_view utf8Text, std::string_view resourceName);

}  // namespace vcl
