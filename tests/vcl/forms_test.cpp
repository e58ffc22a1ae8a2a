// Forms on the offscreen platform: modal results, keys, tab order, activation,
// release, placement and painting, through the public calls only.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <memory>

#include <gtest/gtest.h>

#include "qt_driver.h"
#include "test_form.h"
#include "vcl/application.h"
#include "vcl/comctrls.h"
#include "vcl/graphics.h"
#include "vcl/windows.h"
#include "win32/codepage.h"

namespace {

using vcl_testing::ClickButton;
using vcl_testing::Focused;
using vcl_testing::PressKey;
using vcl_testing::Pump;
using vcl_testing::WhenModal;

struct FormDeleter {
  void operator()(vcl::TForm* form) const { vcl::Free(form); }
};
template <class T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

class Forms : public testing::Test {
 protected:
  void SetUp() override { vcl::Application->Initialize(); }
  void TearDown() override {
    vcl::Application->ClearTerminatedForTesting();
    Pump();
    EXPECT_EQ(vcl_testing::VisibleTopLevels(), 0) << "a window was left open";
  }
};

TEST_F(Forms, DescriptionBuildsComponentsOnTheirParents) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  EXPECT_EQ(form->Caption(), vcl::Ansi("テストフォーム"));
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 120);
  EXPECT_EQ(form->Name->Parent(), form->Box);
  EXPECT_EQ(form->Ok->Parent(), form.get());
  EXPECT_EQ(form->Name->Text(), vcl::AnsiString("it's"));
  EXPECT_EQ(form->Tick->Caption(), vcl::Ansi("ﾁｪｯｸ"));
  EXPECT_EQ(form->Name->Left(), 8);
  EXPECT_EQ(form->Name->Top(), 20);
  EXPECT_EQ(form->Name->Width(), 150);
  EXPECT_TRUE(form->Ok->Default());
  EXPECT_TRUE(form->Cancel->Cancel());
  EXPECT_EQ(form->Cancel->ModalResult(), vcl::mrCancel);
  EXPECT_EQ(form->Font()->Name(), vcl::Ansi("ＭＳ Ｐゴシック"));
  EXPECT_FALSE(form->Visible());
  // The font without its own installation maps to the IPA stand-in.
  EXPECT_EQ(form->Widget()->font().family(), QString("IPAPGothic"));
  EXPECT_EQ(form->Widget()->font().pixelSize(), 12);
  EXPECT_EQ(form->Name->Widget()->font().family(), QString("IPAPGothic"));
}

struct ModalCase {
  const char* what;
  std::function<void(QWidget*)> act;
  int expected;
};

TEST_F(Forms, ModalResultsFollowKeysClicksAndCloseRequests) {
  const ModalCase cases[] = {
      {"Enter on the first control (OK)", [](QWidget* w) { PressKey(w, Qt::Key_Return); }, 1},
      {"keypad Enter", [](QWidget* w) { PressKey(w, Qt::Key_Enter); }, 1},
      {"Escape", [](QWidget* w) { PressKey(w, Qt::Key_Escape); }, 2},
      {"Tab to the check box, then Enter presses Default",
       [](QWidget* w) {
         PressKey(w, Qt::Key_Tab);
         PressKey(w, Qt::Key_Return);
       },
       1},
      {"Tab three times to ｷｬﾝｾﾙ, then Enter",
       [](QWidget* w) {
         for (int i = 0; i < 3; ++i) PressKey(w, Qt::Key_Tab);
         PressKey(w, Qt::Key_Return);
       },
       2},
      {"Escape with the focus on OK", [](QWidget* w) { PressKey(w, Qt::Key_Escape); }, 2},
      {"click OK", [](QWidget* w) { ClickButton(w, "OK"); }, 1},
      {"click ｷｬﾝｾﾙ", [](QWidget* w) { ClickButton(w, QString::fromUtf8("ｷｬﾝｾﾙ")); }, 2},
      {"close request", [](QWidget* w) { w->close(); }, 2},
      {"end of the application", [](QWidget*) { vcl::Application->Terminate(); }, 2},
  };
  for (const ModalCase& c : cases) {
    FormPtr<TTestForm> form(new TTestForm(nullptr));
    WhenModal(c.act);
    EXPECT_EQ(form->ShowModal(), c.expected) << c.what;
    EXPECT_FALSE(form->Visible()) << c.what;
    EXPECT_EQ(form->ModalResult(), c.expected) << c.what;
    vcl::Application->ClearTerminatedForTesting();
  }
}

TEST_F(Forms, TabWalksTheTabOrderThroughTheGroupBox) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  std::vector<QWidget*> seen;
  WhenModal([&](QWidget* w) {
    for (int i = 0; i < 5; ++i) {
      seen.push_back(Focused(w));
      PressKey(w, Qt::Key_Tab);
    }
    PressKey(w, Qt::Key_Escape);
  });
  form->ShowModal();
  const std::vector<QWidget*> expected = {form->Ok->Widget(), form->Tick->Widget(),
                                          form->Name->Widget(), form->Cancel->Widget(),
                                          form->Ok->Widget()};
  EXPECT_EQ(seen, expected);
}

TEST_F(Forms, SetFocusBeforeShowingChoosesTheFirstFocus) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  form->OnShow = [&](vcl::TObject*) { form->Cancel->SetFocus(); };
  QWidget* first = nullptr;
  WhenModal([&](QWidget* w) {
    first = Focused(w);
    PressKey(w, Qt::Key_Return);  // the focused button, not the Default one
  });
  EXPECT_EQ(form->ShowModal(), 2);
  EXPECT_EQ(first, form->Cancel->Widget());
}

TEST_F(Forms, ButtonSetsModalResultBeforeItsHandlerRuns) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Return); });
  EXPECT_EQ(form->ShowModal(), 1);
  EXPECT_EQ(form->okClicks, 1);  // pressed once, although the key went up the parents
}

TEST_F(Forms, ReleaseDestroysFromTheNextLoopEvenANestedOne) {
  bool destroyed = false;
  auto* released = new TTestForm(nullptr);
  released->OnDestroy = [&](vcl::TObject*) { destroyed = true; };
  released->Release();
  EXPECT_FALSE(destroyed);
  FormPtr<TTestForm> other(new TTestForm(nullptr));
  bool destroyedInsideLoop = false;
  WhenModal([&](QWidget* w) {
    destroyedInsideLoop = destroyed;
    PressKey(w, Qt::Key_Escape);
  });
  other->ShowModal();
  EXPECT_TRUE(destroyedInsideLoop);

  bool second = false;
  auto* again = new TTestForm(nullptr);
  again->OnDestroy = [&](vcl::TObject*) { second = true; };
  again->Release();
  again->Release();  // a second request changes nothing
  vcl::Application->ProcessMessages();
  EXPECT_TRUE(second);
}

TEST_F(Forms, ReleasedFormDestroyedWithItsOwnerFirstIsNotDestroyedTwice) {
  auto* owner = new TTestForm(nullptr);
  int destroyed = 0;
  auto* owned = new TTestForm(owner);
  owned->OnDestroy = [&](vcl::TObject*) { ++destroyed; };
  owned->Release();
  vcl::Free(owner);
  vcl::Application->ProcessMessages();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(Forms, ActivationIsRaisedOnShowingAndNeverInsideItsOwnHandler) {
  FormPtr<TTestForm> main(new TTestForm(nullptr));
  FormPtr<TTestForm> dialog(new TTestForm(nullptr));
  int nested = 0;
  main->onActivate = [&] {
    if (main->activations > 1) return;
    // Inside the first activation: a dialog comes and goes, the form is brought
    // to the front again; none of it raises the handler again.
    WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    dialog->ShowModal();
    vcl::SetForegroundWindow(main->Handle());
    main->SetFocus();
    nested = main->activations;
  };
  main->Show();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(main->activations, 1);
  // After the handler, a dialog that closes activates the form again.
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  dialog->ShowModal();
  EXPECT_EQ(main->activations, 2);
  EXPECT_TRUE(main->Active());
  main->Hide();
}

TEST_F(Forms, ShowRaisesOnShowBeforeVisibleAndHideKeepsTheForm) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  bool visibleInOnShow = true;
  form->OnShow = [&](vcl::TObject*) { visibleInOnShow = form->Widget()->isVisible(); };
  form->Show();
  EXPECT_FALSE(visibleInOnShow);
  EXPECT_TRUE(form->Widget()->isVisible());
  form->Hide();
  EXPECT_FALSE(form->Widget()->isVisible());
  form->Show();
  EXPECT_TRUE(form->Visible());
  form->Close();  // not the main form: hidden
  EXPECT_FALSE(form->Visible());
}

TEST_F(Forms, ScreenCentreOnFirstShowingOnlyAndNoCloseBox) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  form->Show();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form->Left(), (screen.width() - form->Width()) / 2);
  EXPECT_EQ(form->Top(), (screen.height() - form->Height()) / 2);
  EXPECT_EQ(form->ClientWidth(), 300);
  form->SetLeft(5);
  form->SetTop(7);
  form->Hide();
  form->Show();
  EXPECT_EQ(form->Left(), 5);
  EXPECT_EQ(form->Top(), 7);
  const Qt::WindowFlags flags = form->Widget()->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_EQ(form->Widget()->minimumSize(), form->Widget()->maximumSize());  // fixed size
  form->Hide();
}

TEST_F(Forms, ExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  FormPtr<TTestForm> form(new TTestForm(nullptr));
  vcl::Application->SetTitle("Setup");
  form->Ok->OnClick = [](vcl::TObject*) { throw vcl::Exception(vcl::Ansi("'MyPath' のﾃﾞｰﾀ型が不正です")); };
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  WhenModal([](QWidget* w) { ClickButton(w, "OK"); });
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    PressKey(w, Qt::Key_Return);
  });
  // The OK click sets the result 1 before the handler throws: the loop ends.
  EXPECT_EQ(form->ShowModal(), 1);
  EXPECT_EQ(text, QString::fromUtf8("'MyPath' のﾃﾞｰﾀ型が不正です."));
  EXPECT_EQ(title, QString("Setup"));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
  Pump();
  // The form still works.
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  EXPECT_EQ(form->ShowModal(), 2);
}

TEST_F(Forms, MessageBoxGivesTheButtonPressed) {
  struct Case {
    UINT flags;
    int key;
    int expected;
  };
  const Case cases[] = {
      {vcl::MB_OK | vcl::MB_ICONSTOP, Qt::Key_Return, vcl::IDOK},
      {vcl::MB_OKCANCEL, Qt::Key_Escape, vcl::IDCANCEL},
      {vcl::MB_YESNO | vcl::MB_ICONQUESTION, Qt::Key_Return, vcl::IDYES},
      {vcl::MB_YESNO, Qt::Key_Escape, vcl::IDNO},
  };
  for (const Case& c : cases) {
    WhenModal([&](QWidget* w) { PressKey(w, c.key); });
    EXPECT_EQ(vcl::Application->MessageBox(vcl::Ansi("本文"), vcl::Ansi("題"), c.flags), c.expected);
  }
}

TEST_F(Forms, UpdatePaintsNowAndTheCanvasFillsRectanglesExactly) {
  FormPtr<vcl::TForm> form(new vcl::TForm(nullptr, vcl::CreateNew));
  form->SetBorderStyle(vcl::bsNone);
  form->SetClientWidth(50);
  form->SetClientHeight(40);
  int paints = 0;
  form->OnPaint = [&](vcl::TObject*) {
    ++paints;
    form->Canvas()->Brush()->SetColor(vcl::PALETTERGB(199, 199, 255));
    form->Canvas()->FillRect(vcl::Rect(10, 10, 20, 30));
  };
  form->Show();
  const int before = paints;
  form->Update();
  EXPECT_GT(paints, before);  // painted before Update returned
  const QImage image = form->Widget()->grab().toImage();
  EXPECT_EQ(image.pixelColor(10, 10), QColor(199, 199, 255));
  EXPECT_EQ(image.pixelColor(19, 29), QColor(199, 199, 255));
  EXPECT_NE(image.pixelColor(20, 29), QColor(199, 199, 255));  // right edge excluded
  EXPECT_NE(image.pixelColor(19, 30), QColor(199, 199, 255));  // bottom edge excluded
  form->Hide();
}

TEST_F(Forms, CloseOfTheMainFormEndsTheApplication) {
  // A second application object is not possible; the main form is the first one
  // created through CreateForm, so this runs on its own main form.
  TTestForm* main = nullptr;
  vcl::Application->CreateForm(main);
  ASSERT_EQ(vcl::Application->MainForm(), main);
  main->onActivate = [&] { main->Close(); };
  vcl::Application->Run();  // shows, activates, closes, returns
  EXPECT_TRUE(vcl::Application->Terminated());
  EXPECT_EQ(main->activations, 1);
  main->Hide();
  vcl::Free(main);
  EXPECT_EQ(vcl::Application->MainForm(), nullptr);
}

TEST_F(Forms, CodeBuiltWindowWithProgressBarAndHandles) {
  FormPtr<TTestForm> owner(new TTestForm(nullptr));
  auto* window = new vcl::TForm(vcl::FormFromHandle(owner->Handle()), vcl::CreateNew);
  EXPECT_EQ(window->Owner(), owner.get());
  window->SetBorderStyle(vcl::bsDialog);
  window->SetBorderIcons(0);
  window->SetClientWidth(200);
  window->SetClientHeight(80);
  auto* label = new vcl::TLabel(window);
  label->SetParent(window);
  label->SetBounds(8, 8, 184, 12);
  label->SetCaption(vcl::Ansi("展開中"));
  auto* button = new vcl::TButton(window);
  button->SetParent(window);
  button->SetBounds(60, 40, 80, 25);
  button->SetCaption("Cancel");
  EXPECT_EQ(vcl::FormFromHandle(button->Handle()), window);
  EXPECT_EQ(vcl::FormFromHandle(nullptr), nullptr);
  auto* bar = new vcl::TProgressBar(window);
  bar->SetParent(window);
  bar->SetBounds(8, 24, 184, 12);
  bar->SetMax(10);
  bar->SetPosition(4);
  EXPECT_EQ(bar->Position(), 4);
  bar->SetPosition(40);
  EXPECT_EQ(bar->Position(), 10);  // clamped
  vcl::Application->ProcessMessages();
  window->Show();
  window->Update();
  EXPECT_EQ(button->Widget()->geometry(), QRect(60, 40, 80, 25));
  window->Hide();
  // Destroyed with its owner.
}

}  // namespace
