// Common controls: TProgressBar.
#pragma once

#include "vcl/controls.h"

namespace vcl {

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMin(int value);
  void SetMax(int value);
  // Clamped to Min..Max.
  void SetPosition(int value);
  bool CanFocus() const override { return false; }
  bool ReadProperty(const FormProperty& property, const FormBindings& bindings) override;

 private:
  void Apply();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

}  // namespace vcl
