#include "win32/report.h"

#include <cstdio>
#include <mutex>

namespace win32 {
namespace {

std::mutex mutex;

void ToStandardError(HWND, const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

ReportHook& Hook() {
  static ReportHook hook = ToStandardError;
  return hook;
}

}  // namespace

void SetReportHook(ReportHook hook) {
  std::lock_guard lock(mutex);
  Hook() = hook ? std::move(hook) : ReportHook(ToStandardError);
}

void Report(HWND owner, const std::string& caption, const std::string& text) {
  ReportHook hook;
  {
    std::lock_guard lock(mutex);
    hook = Hook();
  }
  hook(owner, caption, text);
}

}  // namespace win32
