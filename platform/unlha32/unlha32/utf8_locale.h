// A UTF-8 character type for the calling thread only, for as long as the object
// lives. libarchive converts entry names to and from the current locale's
// character set; without a UTF-8 one every non-ASCII name is an error. Setting it
// per thread (uselocale) leaves the process's locale alone.
#pragma once

#include <locale.h>

namespace unlha32 {

class ScopedUtf8Locale {
 public:
  ScopedUtf8Locale();
  ~ScopedUtf8Locale();
  ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
  ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

  // False when no UTF-8 locale could be made; the thread's locale is unchanged then.
  bool ok() const { return locale_ != static_cast<locale_t>(0); }

 private:
  locale_t locale_;
  locale_t previous_ = static_cast<locale_t>(0);
};

}  // namespace unlha32
