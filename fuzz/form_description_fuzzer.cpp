// The stored form descriptions (object Form2: TForm2 ... end): any text. A syntax
// error is an EResNotFound; anything else escaping the parser is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/fuzz_check.h"
#include "vcl/exception.h"
#include "vcl/form_description.h"

namespace {

void CheckObject(const vcl::FormObject& object, int depth) {
  FUZZ_CHECK(!object.name.empty() || !object.className.empty());
  FUZZ_CHECK(object.line > 0);
  for (const vcl::FormProperty& property : object.properties) {
    FUZZ_CHECK(!property.name.empty());
    FUZZ_CHECK(property.value.line >= object.line);
  }
  for (const vcl::FormObject& child : object.children) {
    FUZZ_CHECK(child.line >= object.line);
    CheckObject(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const vcl::FormObject root = vcl::ParseFormDescription(text, "TFUZZ");
    CheckObject(root, 0);
  } catch (const vcl::EResNotFound& error) {
    FUZZ_CHECK(std::string_view(error.what()).find("TFUZZ") != std::string_view::npos);
  }
  return 0;
}
