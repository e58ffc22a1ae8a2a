// Values in desktop entry files (.desktop and .directory launchers and folders),
// written the way the Desktop Entry Specification reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win32/result.h"

namespace grpconv {

// A value of type string or localestring. It must be UTF-8 without control
// characters (a name or a path that has one is refused rather than mangled);
// "\" is written "\\", and a blank at either end "\s" so that readers keep it.
// what names the value in the error ("the item name").
win32::Expected<std::string> EscapeValue(std::string_view utf8, std::string_view what);

// One argument of an Exec command line, before the value's own escaping: between
// double quotes (with ", `, $ and \ escaped by a backslash) when it holds one of
// the reserved characters, is empty, or always is set; every "%" doubled, since a
// single one would start a field code.
std::string QuoteExecArgument(std::string_view argument, bool always);

// The whole value of an Exec key: the launcher's words, each quoted only when it
// needs to be, then the program, always quoted; joined by blanks and escaped as a
// string value.
win32::Expected<std::string> ExecValue(const std::vector<std::string>& launcher,
                                       std::string_view program);

}  // namespace grpconv
