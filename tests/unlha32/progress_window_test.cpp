// The archiver's progress window, on the offscreen platform: owned by the given
// window, centred, showing the entry and the share done, and stopping cleanly when
// its "キャンセル" button is pressed.
#include <gtest/gtest.h>

#include "lzh_media.h"
#include "support/temp_home.h"
#include "unlha32/unlha32.h"
#include "unlha32/window_ui.h"
#include "vcl/application.h"
#include "vcl/comctrls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/windows.h"
#include "win32/codepage.h"
#include "win32/prefix.h"

namespace {

using namespace unlha32_test;

// The progress window among the components the owner form owns, or nullptr.
vcl::TForm* ProgressWindowOf(vcl::TForm& owner) {
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    if (owner.Components(i)->Name() == vcl::AnsiString("UnlhaProgress")) {
      return dynamic_cast<vcl::TForm*>(owner.Components(i));
    }
  }
  return nullptr;
}

template <class T>
T* Part(vcl::TForm& window, const char* name) {
  return dynamic_cast<T*>(window.FindComponent(name));
}

// The Qt application behind the form library goes when the tests are done, as it
// goes at the end of the installer.
class FormLibraryEnvironment : public testing::Environment {
 public:
  void TearDown() override { vcl::DoneApplication(); }
};
const testing::Environment* const kFormLibrary =
    testing::AddGlobalTestEnvironment(new FormLibraryEnvironment);

class ProgressWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(win32::EnsurePrefix().ok()); }
  void SetUp() override {
    owner = new vcl::TForm(vcl::Application, vcl::CreateNew);
    owner->SetCaption(vcl::Ansi("セットアップ"));
    owner->Show();
  }
  void TearDown() override { vcl::Free(owner); }
  vcl::TForm* owner = nullptr;
};

TEST_F(ProgressWindowTest, ShowsTheEntryAndTheShareDoneCentredOverItsOwner) {
  auto observer = unlha32::MakeProgressWindow(owner->Handle());
  ASSERT_TRUE(observer->Begin(1000));
  vcl::TForm* window = ProgressWindowOf(*owner);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->Visible());
  EXPECT_EQ(window->Caption(), vcl::Ansi("セットアップ"));
  EXPECT_EQ(window->BorderStyle(), vcl::bsDialog);
  EXPECT_EQ(window->Left(), (vcl::GetSystemMetrics(vcl::SM_CXSCREEN) - window->Width()) / 2);
  EXPECT_EQ(window->Top(), (vcl::GetSystemMetrics(vcl::SM_CYSCREEN) - window->Height()) / 2);
  ASSERT_TRUE(observer->Progress("ﾃﾞｰﾀ\\ソ表.txt", 500));
  EXPECT_EQ(Part<vcl::TLabel>(*window, "FileLabel")->Caption(),
            vcl::AnsiString(*win32::Utf8ToCp932("ﾃﾞｰﾀ\\ソ表.txt")));
  auto* bar = Part<vcl::TProgressBar>(*window, "ProgressBar");
  EXPECT_EQ(bar->Position() * 2, bar->Max());
  auto* cancel = Part<vcl::TButton>(*window, "CancelButton");
  EXPECT_EQ(cancel->Caption(), vcl::Ansi("キャンセル"));
  EXPECT_TRUE(cancel->Cancel());
  cancel->Click();
  EXPECT_FALSE(observer->Progress("ﾃﾞｰﾀ\\ソ表.txt", 600));
  observer->End();
  EXPECT_EQ(ProgressWindowOf(*owner), nullptr);
}

TEST_F(ProgressWindowTest, UnlhaShowsItAndTakesItAwayAgain) {
  const std::string work = testing_support::MakeTempDir("window");
  const std::string source = work + "/source";
  const auto names = MakeSampleTree(source);
  MakeJlhaArchive(source, names, "2o5", work + "/P.LZH");
  RecordingUi reporter;
  unlha32::UnlhaSetUiForTesting(nullptr, &reporter);
  EXPECT_EQ(Unlha(owner->Handle(), ExtractCommand(WindowsPath(work + "/P.LZH"), WindowsPath(work + "/out")).c_str(),
                  nullptr, 0),
            0);
  unlha32::UnlhaSetUiForTesting(nullptr, nullptr);
  EXPECT_EQ(CompareTrees(source, work + "/out"), "");
  EXPECT_EQ(ProgressWindowOf(*owner), nullptr);
  EXPECT_TRUE(reporter.failures.empty());
}

// The real window, with its "キャンセル" button pressed as the second entry starts.
class PressCancelOnSecondEntry : public unlha32::ExtractionObserver {
 public:
  explicit PressCancelOnSecondEntry(vcl::TForm& owner)
      : owner_(owner), window_(unlha32::MakeProgressWindow(owner.Handle())) {}
  bool Begin(std::uint64_t total) override { return window_->Begin(total); }
  bool Progress(const std::string& name, std::uint64_t done) override {
    if (name != last_ && !last_.empty() && !pressed_) {
      Part<vcl::TButton>(*ProgressWindowOf(owner_), "CancelButton")->Click();
      pressed_ = true;
    }
    last_ = name;
    return window_->Progress(name, done);
  }
  void End() override { window_->End(); }
  bool pressed_ = false;

 private:
  vcl::TForm& owner_;
  std::unique_ptr<unlha32::ExtractionObserver> window_;
  std::string last_;
};

TEST_F(ProgressWindowTest, CancelButtonStopsTheExtractionCleanly) {
  const std::string work = testing_support::MakeTempDir("window-cancel");
  const std::string source = work + "/source";
  const auto names = MakeSampleTree(source);
  MakeJlhaArchive(source, names, "2o5", work + "/P.LZH");
  PressCancelOnSecondEntry observer(*owner);
  RecordingUi reporter;
  unlha32::UnlhaSetUiForTesting(&observer, &reporter);
  EXPECT_EQ(Unlha(owner->Handle(), ExtractCommand(WindowsPath(work + "/P.LZH"), WindowsPath(work + "/out")).c_str(),
                  nullptr, 0),
            ERROR_USER_CANCEL);
  unlha32::UnlhaSetUiForTesting(nullptr, nullptr);
  EXPECT_TRUE(observer.pressed_);
  EXPECT_TRUE(reporter.failures.empty());
  EXPECT_EQ(ProgressWindowOf(*owner), nullptr);
  EXPECT_TRUE(TempFilesBelow(work).empty());
  // Only the first entry was extracted, and it is whole.
  EXPECT_EQ(ListTree(work + "/out"), std::vector<std::string>{"README.TXT"});
  EXPECT_EQ(testing_support::ReadFile(work + "/out/README.TXT"), "Read me first.\r\n");
}

}  // namespace
