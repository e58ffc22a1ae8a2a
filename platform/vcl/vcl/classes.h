// The root classes: TObject, and TComponent with its owner and owned components.
#pragma once

#include <functional>
#include <vector>

#include "vcl/ansi_string.h"

namespace vcl {

class TObject {
 public:
  virtual ~TObject() = default;
};

// An event without arguments besides its sender, as every handler of the installer.
using TNotifyEvent = std::function<void(TObject* sender)>;

// A component owns the components created with it as owner and destroys them,
// the last created first, when it is destroyed itself.
//
// Destroy components with Free() (or through their owner): it runs
// BeforeDestruction first (where a form raises OnDestroy while all of it still
// exists) and then deletes. A plain delete skips BeforeDestruction. Deliberately
// differs from the original: no streaming system and no notification of other
// components.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  // The owned component with this name (exact bytes), or nullptr.
  TComponent* FindComponent(const AnsiString& name) const;

  // Runs just before the destructor chain; the default does nothing.
  virtual void BeforeDestruction() {}

  // Destroys the owned components, the last created first.
  void DestroyComponents();

 protected:
  // Lets go of the owned components without destroying them (for an owner that
  // outlives the means to destroy them, such as the application object at exit).
  void AbandonComponents();

 private:
  TComponent* owner_;
  AnsiString name_;
  std::vector<TComponent*> components_;
};

// BeforeDestruction, then delete; nullptr is ignored.
void Free(TComponent* component);

}  // namespace vcl
