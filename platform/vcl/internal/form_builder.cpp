#include "internal/form_builder.h"

#include <functional>
#include <map>

#include "vcl/comctrls.h"
#include "vcl/exception.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace vcl::internal {
namespace {

using Factory = std::function<TControl*(TComponent* owner)>;

const std::map<std::string, Factory>& Factories() {
  static const std::map<std::string, Factory> factories = {
      {"TLabel", [](TComponent* o) -> TControl* { return new TLabel(o); }},
      {"TEdit", [](TComponent* o) -> TControl* { return new TEdit(o); }},
      {"TButton", [](TComponent* o) -> TControl* { return new TButton(o); }},
      {"TCheckBox", [](TComponent* o) -> TControl* { return new TCheckBox(o); }},
      {"TGroupBox", [](TComponent* o) -> TControl* { return new TGroupBox(o); }},
      {"TProgressBar", [](TComponent* o) -> TControl* { return new TProgressBar(o); }},
  };
  return factories;
}

[[noreturn]] void Fail(const std::string& resource, int line, const std::string& what) {
  throw EResNotFound(AnsiString("form description " + resource + ", line " +
                                std::to_string(line) + ": " + what));
}

void ApplyProperties(TControl& control, const FormObject& object, const FormBindings& bindings,
                     const std::string& resource) {
  for (const FormProperty& property : object.properties) {
    bool known = false;
    try {
      known = control.ReadProperty(property, bindings);
    } catch (const EResNotFound& error) {
      Fail(resource, property.value.line, error.Message().bytes());
    }
    if (!known) {
      Fail(resource, property.value.line,
           object.className + " has no property " + property.name);
    }
  }
}

void BuildChildren(TForm& form, TWinControl& parent, const FormObject& object,
                   const FormBindings& bindings, const std::string& resource) {
  for (const FormObject& child : object.children) {
    const auto factory = Factories().find(child.className);
    if (factory == Factories().end()) Fail(resource, child.line, "unknown class " + child.className);
    TControl* control = factory->second(&form);
    control->SetName(AnsiString(child.name));
    control->SetParent(&parent);
    ApplyProperties(*control, child, bindings, resource);
    if (!child.children.empty()) {
      auto* container = dynamic_cast<TWinControl*>(control);
      if (container == nullptr) Fail(resource, child.line, child.className + " cannot hold controls");
      BuildChildren(form, *container, child, bindings, resource);
    }
  }
}

}  // namespace

void BuildForm(TForm& form, const FormObject& root, const FormBindings& bindings,
               const std::string& resourceName) {
  form.SetName(AnsiString(root.name));
  ApplyProperties(form, root, bindings, resourceName);
  BuildChildren(form, form, root, bindings, resourceName);
  for (const FormBindings::Field& field : bindings.Fields()) {
    TComponent* component = form.FindComponent(AnsiString(field.name));
    if (component == nullptr) Fail(resourceName, root.line, "no component named " + field.name);
    try {
      field.store(component);
    } catch (const EResNotFound& error) {
      Fail(resourceName, root.line, error.Message().bytes());
    }
  }
}

}  // namespace vcl::internal
