// The fonts the program names, mapped to installed ones.
#pragma once

#include <QFont>

#include "vcl/graphics.h"

namespace vcl::internal {

// The Qt font of a TFont: its family when installed, else the installed stand-in
// ("ＭＳ Ｐゴシック" becomes IPAPGothic, "ＭＳ ゴシック" IPAGothic); the height
// in pixels (a negative height is the character height).
QFont ToQFont(const TFont& font);

}  // namespace vcl::internal
