#include "vcl/ansi_string.h"

#include "win32/codepage.h"

namespace vcl {

AnsiString Ansi(std::string_view utf8Literal) { return AnsiString(win32::Ansi(utf8Literal)); }

}  // namespace vcl
