#include "vcl/classes.h"

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_ != nullptr) {
    auto& siblings = owner_->components_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  for (TComponent* component : components_) {
    if (component->Name() == name) return component;
  }
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    // Free() removes the component from this list through its destructor.
    Free(components_.back());
  }
}

void TComponent::AbandonComponents() {
  for (TComponent* component : components_) component->owner_ = nullptr;
  components_.clear();
}

void Free(TComponent* component) {
  if (component == nullptr) return;
  component->BeforeDestruction();
  delete component;
}

}  // namespace vcl
