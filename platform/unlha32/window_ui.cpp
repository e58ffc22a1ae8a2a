#include "unlha32/window_ui.h"

#include "win32/report.h"

namespace unlha32 {
namespace {

class PlainObserver : public ExtractionObserver {
 public:
  bool Begin(std::uint64_t) override { return true; }
  bool Progress(const std::string&, std::uint64_t) override { return true; }
  void End() override {}
};

class OwnerReporter : public FailureReporter {
 public:
  explicit OwnerReporter(HWND owner) : owner_(owner) {}
  void Report(const Failure& failure) override {
    win32::Report(owner_, kCaption, FailureText(failure));
  }

 private:
  HWND owner_;
};

}  // namespace

std::unique_ptr<ExtractionObserver> MakeProgressWindow(HWND) {
  return std::make_unique<PlainObserver>();
}

std::unique_ptr<FailureReporter> MakeMessageBoxReporter(HWND owner) {
  return std::make_unique<OwnerReporter>(owner);
}

}  // namespace unlha32
