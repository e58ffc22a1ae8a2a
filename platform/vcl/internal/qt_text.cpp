#include "internal/qt_text.h"

#include "vcl/exception.h"
#include "win32/codepage.h"

namespace vcl::internal {

QString ToQString(const AnsiString& text) {
  return QString::fromStdString(win32::Cp932ForDisplay(text.view()));
}

AnsiString FromQString(const QString& text) {
  auto cp932 = win32::Utf8ToCp932(text.toStdString());
  if (!cp932) {
    throw Exception(AnsiString(win32::Ansi("入力された文字の中にシフトJISで表せない文字があります")));
  }
  return AnsiString(*cp932);
}

QString FromUtf8(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace vcl::internal
