// What a form class gives its stored description: handlers by name, and the
// published fields that receive the components built from it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/exception.h"

namespace vcl {

class FormBindings {
 public:
  // One published field: the component's name and how to store it.
  struct Field {
    std::string name;
    std::function<void(TComponent*)> store;  // throws when the class is wrong
  };

  FormBindings& Handler(const std::string& name, TNotifyEvent handler) {
    handlers_[name] = std::move(handler);
    return *this;
  }

  // Binds the component named name to field; the component must be a T.
  template <class T>
  FormBindings& Component(const std::string& name, T*& field) {
    fields_.push_back({name, [&field, name](TComponent* component) {
                         field = dynamic_cast<T*>(component);
                         if (field == nullptr) {
                           throw EResNotFound(AnsiString("component " + name + " has the wrong class"));
                         }
                       }});
    return *this;
  }

  // The handler of that name; throws EResNotFound when the form class has none.
  TNotifyEvent HandlerNamed(const std::string& name) const;
  const std::vector<Field>& Fields() const { return fields_; }

 private:
  std::map<std::string, TNotifyEvent> handlers_;
  std::vector<Field> fields_;
};

}  // namespace vcl
