#include "vcl/form_bindings.h"

namespace vcl {

TNotifyEvent FormBindings::HandlerNamed(const std::string& name) const {
  const auto found = handlers_.find(name);
  if (found == handlers_.end()) {
    throw EResNotFound(AnsiString("the form class has no handler " + name));
  }
  return found->second;
}

}  // namespace vcl
