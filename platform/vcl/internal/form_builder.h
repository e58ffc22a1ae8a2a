// Building a form from its parsed stored description.
#pragma once

#include "vcl/form_bindings.h"
#include "vcl/form_description.h"

namespace vcl {
class TForm;
}

namespace vcl::internal {

// Applies the root's properties to form, creates its components (owned by the
// form, on their parents), applies theirs, and stores the components in the
// bound fields. Throws EResNotFound naming the resource and line for an unknown
// class, property or handler, and for a field without component.
void BuildForm(TForm& form, const FormObject& root, const FormBindings& bindings,
               const std::string& resourceName);

}  // namespace vcl::internal
