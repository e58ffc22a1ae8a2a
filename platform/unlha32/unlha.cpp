#include "unlha32/unlha32.h"

#include <cstring>
#include <string>

#include "unlha32/command.h"
#include "unlha32/extraction.h"
#include "unlha32/observer.h"
#include "unlha32/window_ui.h"
#include "win32/codepage.h"
#include "win32/report.h"

namespace unlha32 {
namespace {

ExtractionObserver* testObserver = nullptr;
FailureReporter* testReporter = nullptr;
bool running = false;

// Without an owner window nothing is shown while the extraction runs.
class SilentObserver : public ExtractionObserver {
 public:
  bool Begin(std::uint64_t) override { return true; }
  bool Progress(const std::string&, std::uint64_t) override { return true; }
  void End() override {}
};

// Without an owner window failures go where the layer's own reports go.
class LayerReporter : public FailureReporter {
 public:
  void Report(const Failure& failure) override {
    win32::Report(nullptr, kCaption, FailureText(failure));
  }
};

// Copies text (UTF-8) into output as CP932, cut at a character boundary so that
// it fits with its terminator.
void WriteLog(const std::string& utf8, char* output, DWORD size) {
  if (output == nullptr || size == 0) return;
  auto converted = win32::Utf8ToCp932(utf8);
  const std::string text = converted ? *converted : std::string("(log not representable)");
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t step =
        win32::IsCp932LeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + step > size - 1 || length + step > text.size()) break;
    length += step;
  }
  std::memcpy(output, text.data(), length);
  output[length] = '\0';
}

std::string SuccessLog(const Extraction& extraction) {
  return std::to_string(extraction.files()) + " 個のファイル (" +
         std::to_string(extraction.bytes()) + " バイト) を展開しました。";
}

void ReportFailure(HWND hwnd, const Failure& failure) {
  if (testReporter != nullptr) {
    testReporter->Report(failure);
  } else if (hwnd != nullptr) {
    MakeMessageBoxReporter(hwnd)->Report(failure);
  } else {
    LayerReporter().Report(failure);
  }
}

int Finish(HWND hwnd, const Failure& failure, char* output, DWORD size) {
  // A cancel is the user's own choice: it is not told back to them in a box.
  if (failure.result != ERROR_USER_CANCEL) ReportFailure(hwnd, failure);
  WriteLog(FailureText(failure), output, size);
  return failure.result;
}

int Run(HWND hwnd, const char* commandText, char* output, DWORD size) {
  Command command;
  Failure failure;
  failure.result = ParseCommand(commandText, command);
  if (failure.result != 0) {
    failure.archive = commandText != nullptr ? win32::Cp932ForDisplay(commandText) : "(null)";
    failure.reason = failure.result == ERROR_COMMAND_NAME
                         ? "命令は x (フォルダ付きで展開) だけに対応しています。"
                         : "命令の形は x \"アーカイブ\" \"展開先\" です。";
    return Finish(hwnd, failure, output, size);
  }
  std::unique_ptr<ExtractionObserver> window;
  ExtractionObserver* observer = testObserver;
  if (observer == nullptr) {
    window = hwnd != nullptr ? MakeProgressWindow(hwnd) : std::make_unique<SilentObserver>();
    observer = window.get();
  }
  Extraction extraction(*observer);
  if (extraction.Run(command.archive, command.destination) != 0) {
    return Finish(hwnd, extraction.failure(), output, size);
  }
  WriteLog(SuccessLog(extraction), output, size);
  return 0;
}

}  // namespace

void UnlhaSetUiForTesting(ExtractionObserver* observer, FailureReporter* reporter) {
  testObserver = observer;
  testReporter = reporter;
}

}  // namespace unlha32

int Unlha(HWND hwnd, const char* command, char* output, DWORD size) {
  // The progress window handles events while it works, so a second call can
  // arrive from a handler; it is refused rather than run inside the first.
  if (unlha32::running) {
    unlha32::Failure failure{ERROR_ALREADY_RUNNING, "", "", "展開の途中です。"};
    unlha32::WriteLog(unlha32::FailureText(failure), output, size);
    return ERROR_ALREADY_RUNNING;
  }
  unlha32::running = true;
  const int result = unlha32::Run(hwnd, command, output, size);
  unlha32::running = false;
  return result;
}
