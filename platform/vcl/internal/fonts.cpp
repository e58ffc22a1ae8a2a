#include "internal/fonts.h"

#include <QFontDatabase>

#include "internal/qt_text.h"

namespace vcl::internal {
namespace {

struct Substitute {
  const char* family;  // UTF-8
  const char* standIn;
};

constexpr Substitute kSubstitutes[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"ＭＳ 明朝", "IPAMincho"},
};

QString InstalledFamily(const QString& family) {
  if (QFontDatabase::hasFamily(family)) return family;
  for (const Substitute& s : kSubstitutes) {
    if (family == QString::fromUtf8(s.family)) return QString::fromUtf8(s.standIn);
  }
  return family;
}

}  // namespace

QFont ToQFont(const TFont& font) {
  QFont result(InstalledFamily(ToQString(font.Name())));
  const int height = font.Height();
  result.setPixelSize(height < 0 ? -height : (height > 0 ? height : 12));
  result.setBold((font.Style() & fsBold) != 0);
  result.setItalic((font.Style() & fsItalic) != 0);
  result.setUnderline((font.Style() & fsUnderline) != 0);
  result.setStrikeOut((font.Style() & fsStrikeOut) != 0);
  return result;
}

}  // namespace vcl::internal
