// Makes sure the prefix exists (at $SETUP_PREFIX or the default place) and prints
// its host path, so that scripts can add drives or a launcher to it.
#include <cstdio>

#include "win32/prefix.h"

int main() {
  const win32::Expected<std::string> prefix = win32::EnsurePrefix();
  if (!prefix) {
    std::fprintf(stderr, "setup-prefix: %s\n", prefix.error().reason.c_str());
    return 1;
  }
  std::printf("%s\n", prefix->c_str());
  return 0;
}
