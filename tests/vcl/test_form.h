// A form class of the kind the program has, built from the test resource
// TTESTFORM: a group box with an edit box and a check box, OK (Default, result 1,
// first in the tab order) and ｷｬﾝｾﾙ (Cancel, result 2).
#pragma once

#include <functional>

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

class TTestForm : public vcl::TForm {
 public:
  explicit TTestForm(vcl::TComponent* owner) : vcl::TForm(owner) {
    LoadDescription("TTESTFORM",
                    vcl::FormBindings()
                        .Handler("FormShow", [this](vcl::TObject*) { ++shows; })
                        .Handler("FormActivate", [this](vcl::TObject*) {
                          ++activations;
                          if (onActivate) onActivate();
                        })
                        .Handler("OkClick", [this](vcl::TObject*) { ++okClicks; })
                        .Component("Box", Box)
                        .Component("Name", Name)
                        .Component("Tick", Tick)
                        .Component("Ok", Ok)
                        .Component("Cancel", Cancel));
  }

  vcl::TGroupBox* Box = nullptr;
  vcl::TEdit* Name = nullptr;
  vcl::TCheckBox* Tick = nullptr;
  vcl::TButton* Ok = nullptr;
  vcl::TButton* Cancel = nullptr;
  int shows = 0;
  int activations = 0;
  int okClicks = 0;
  std::function<void()> onActivate;
};
