#include "unlha32/utf8_locale.h"

namespace unlha32 {

ScopedUtf8Locale::ScopedUtf8Locale()
    : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
  if (ok()) previous_ = uselocale(locale_);
}

ScopedUtf8Locale::~ScopedUtf8Locale() {
  if (!ok()) return;
  uselocale(previous_);
  freelocale(locale_);
}

}  // namespace unlha32
