#include "unlha32/window_ui.h"

#include <chrono>

#include "vcl/application.h"
#include "vcl/comctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/windows.h"
#include "win32/codepage.h"

namespace unlha32 {
namespace {

using Clock = std::chrono::steady_clock;

// Events are handled at most this often while data flows, so that a large
// archive is not slowed down by repainting after every block.
constexpr auto kPumpInterval = std::chrono::milliseconds(40);
// The bar's scale: byte counts do not fit in its int range.
constexpr int kBarSteps = 10000;

// UTF-8 to CP932 for display: a character CP932 cannot hold becomes "?".
vcl::AnsiString ForDisplay(const std::string& utf8) {
  if (auto whole = win32::Utf8ToCp932(utf8)) return vcl::AnsiString(*whole);
  std::string shown;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    auto one = win32::Utf8ToCp932(utf8.substr(i, length));
    shown += one ? *one : std::string("?");
    i += length;
  }
  return vcl::AnsiString(shown);
}

// The progress window: the entry being extracted, a bar over the archive's total
// size and a "キャンセル" button. It is owned by the caller's form, centred, and
// kept painted by handling the waiting events as the extraction goes on.
class ProgressWindow : public ExtractionObserver {
 public:
  explicit ProgressWindow(HWND owner) : owner_(owner) {}
  ~ProgressWindow() override { Close(); }

  bool Begin(std::uint64_t totalBytes) override {
    total_ = totalBytes;
    Build();
    window_->Show();
    window_->Update();
    vcl::Application->ProcessMessages();
    lastPump_ = Clock::now();
    return !cancelled_;
  }

  bool Progress(const std::string& entryName, std::uint64_t bytesDone) override {
    const bool newEntry = entryName != shownEntry_;
    if (!newEntry && Clock::now() - lastPump_ < kPumpInterval) return !cancelled_;
    if (newEntry) {
      shownEntry_ = entryName;
      file_->SetCaption(ForDisplay(entryName));
    }
    bar_->SetPosition(total_ == 0 ? kBarSteps
                                  : static_cast<int>(static_cast<long double>(bytesDone) *
                                                     kBarSteps / total_));
    vcl::Application->ProcessMessages();
    lastPump_ = Clock::now();
    // The program was told to end while events were handled: stop as for a cancel.
    if (vcl::Application->Terminated()) cancelled_ = true;
    return !cancelled_;
  }

  void End() override { Close(); }

 private:
  void Build() {
    window_ = new vcl::TForm(vcl::FormFromHandle(owner_), vcl::CreateNew);
    window_->SetName("UnlhaProgress");
    window_->SetCaption(vcl::Ansi(kCaption));
    window_->SetBorderStyle(vcl::bsDialog);
    window_->SetBorderIcons(0);
    window_->SetPosition(vcl::poScreenCenter);
    window_->SetClientWidth(360);
    window_->SetClientHeight(112);
    // A window hidden by the desktop (there is no close box) stops the work too.
    window_->OnHide = [this](vcl::TObject*) {
      if (!closing_) cancelled_ = true;
    };
    auto* title = new vcl::TLabel(window_);
    title->SetParent(window_);
    title->SetBounds(12, 10, 336, 14);
    title->SetCaption(vcl::Ansi("ファイルを展開しています..."));
    file_ = new vcl::TLabel(window_);
    file_->SetName("FileLabel");
    file_->SetParent(window_);
    file_->SetAutoSize(false);
    file_->SetBounds(12, 30, 336, 14);
    bar_ = new vcl::TProgressBar(window_);
    bar_->SetName("ProgressBar");
    bar_->SetParent(window_);
    bar_->SetBounds(12, 50, 336, 16);
    bar_->SetMax(kBarSteps);
    auto* cancel = new vcl::TButton(window_);
    cancel->SetName("CancelButton");
    cancel->SetParent(window_);
    cancel->SetBounds(140, 78, 80, 25);
    cancel->SetCaption(vcl::Ansi("キャンセル"));
    cancel->SetCancel(true);
    cancel->OnClick = [this](vcl::TObject*) { cancelled_ = true; };
  }

  void Close() {
    if (window_ == nullptr) return;
    closing_ = true;
    window_->Hide();
    vcl::Free(window_);
    window_ = nullptr;
  }

  HWND owner_;
  vcl::TForm* window_ = nullptr;
  vcl::TLabel* file_ = nullptr;
  vcl::TProgressBar* bar_ = nullptr;
  std::uint64_t total_ = 0;
  std::string shownEntry_;
  Clock::time_point lastPump_;
  bool cancelled_ = false;
  bool closing_ = false;
};

// The archiver's message box: the stop icon and OK, modal to the active form.
class MessageBoxReporter : public FailureReporter {
 public:
  void Report(const Failure& failure) override {
    vcl::Application->MessageBox(ForDisplay(FailureText(failure)), vcl::Ansi(kCaption),
                                 vcl::MB_OK | vcl::MB_ICONSTOP);
  }
};

}  // namespace

std::unique_ptr<ExtractionObserver> MakeProgressWindow(HWND owner) {
  return std::make_unique<ProgressWindow>(owner);
}

std::unique_ptr<FailureReporter> MakeMessageBoxReporter(HWND) {
  return std::make_unique<MessageBoxReporter>();
}

}  // namespace unlha32
