// Conversion of the program's CP932 texts to and from Qt's text.
#pragma once

#include <QString>

#include "vcl/ansi_string.h"

namespace vcl::internal {

// CP932 to Qt text; bytes that are no valid CP932 show as \xNN.
QString ToQString(const AnsiString& text);
// Qt text (e.g. what the user typed) to CP932; throws Exception when a character
// cannot be held in code page 932.
AnsiString FromQString(const QString& text);
// UTF-8 (the Win32 layer's messages) to Qt text.
QString FromUtf8(const std::string& utf8);

}  // namespace vcl::internal
