// The dialogs TForm2 .. TForm5 as built from their descriptions, driven by real
// keys and clicks on the offscreen platform, with real files for the probe.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <fcntl.h>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/Unit5.h"
#include "qt_driver.h"
#include "support/temp_home.h"
#include "vcl/application.h"
#include "win32/filesystem.h"
#include "win32/paths.h"

namespace fs = std::filesystem;

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

std::string WindowsPath(const std::string& host) {
  auto path = win32::ToWindowsPath(host);
  EXPECT_TRUE(path.ok()) << host;
  return path ? *path : std::string();
}

bool IsEmptyFolder(const std::string& host) {
  return fs::is_directory(host) && fs::directory_iterator(host) == fs::directory_iterator();
}

struct Rect {
  int left, top, width, height;
  bool operator==(const Rect&) const = default;
};
Rect RectOf(const vcl::TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

class Dialogs : public testing::Test {
 protected:
  void SetUp() override {
    vcl::Application->Initialize();
    old_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(old_);
    Pump();
    EXPECT_EQ(vcl_testing::VisibleTopLevels(), 0) << "a window was left open";
  }
  fs::path old_;
};

// ---- The destination dialog

TEST_F(Dialogs, DestinationDialogIsBuiltAsDescribed) {
  FormPtr<TForm2> form(new TForm2(nullptr));
  EXPECT_EQ(form->ClientWidth(), 433);
  EXPECT_EQ(form->ClientHeight(), 201);
  EXPECT_EQ(form->Caption(), vcl::Ansi("セットアップ"));
  EXPECT_EQ(form->BorderStyle(), vcl::bsDialog);
  EXPECT_EQ(form->BorderIcons(), 0);
  EXPECT_EQ(form->Position(), vcl::poScreenCenter);
  struct Row {
    const vcl::TControl* control;
    const vcl::TControl* parent;
    Rect rect;
  };
  const Row rows[] = {
      {form->Label1, form.get(), {8, 16, 417, 12}},
      {form->GroupBox1, form.get(), {8, 40, 417, 73}},
      {form->Label2, form->GroupBox1, {16, 16, 97, 12}},
      {form->Label3, form->GroupBox1, {16, 54, 385, 12}},
      {form->Edit1, form->GroupBox1, {16, 32, 305, 20}},
      {form->Button1, form->GroupBox1, {328, 28, 73, 25}},
      {form->Button2, form.get(), {80, 156, 121, 33}},
      {form->Button3, form.get(), {224, 156, 121, 33}},
      {form->CheckBox1, form.get(), {128, 128, 161, 17}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RectOf(row.control), row.rect) << row.control->Name().c_str();
    EXPECT_EQ(row.control->Parent(), row.parent) << row.control->Name().c_str();
  }
  EXPECT_EQ(form->Label1->Caption(), vcl::AnsiString());
  EXPECT_EQ(form->Label1->Alignment(), vcl::taCenter);
  EXPECT_FALSE(form->Label1->AutoSize());
  EXPECT_EQ(form->Label2->Caption(), vcl::Ansi("インストール先 :"));
  EXPECT_EQ(form->Label3->Caption(), vcl::AnsiString("Label3"));
  EXPECT_EQ(form->Edit1->Text(), vcl::AnsiString("Edit1"));
  EXPECT_EQ(form->Edit1->MaxLength(), 0);
  EXPECT_EQ(form->Button1->Caption(), vcl::Ansi("参照(&R)..."));
  EXPECT_EQ(form->Button2->Caption(), vcl::Ansi("インストール開始"));
  EXPECT_FALSE(form->Button2->Default());
  EXPECT_EQ(form->Button2->ModalResult(), 0);
  EXPECT_EQ(form->Button3->Caption(), vcl::Ansi("キャンセル"));
  EXPECT_TRUE(form->Button3->Cancel());
  EXPECT_EQ(form->Button3->ModalResult(), 2);
  EXPECT_EQ(form->CheckBox1->Caption(), vcl::Ansi("スタートメニューに登録"));
  EXPECT_FALSE(form->CheckBox1->Checked());
  std::vector<vcl::TWinControl*> chain;
  form->CollectTabChain(chain);
  const std::vector<vcl::TWinControl*> expected = {form->Edit1, form->Button1, form->CheckBox1,
                                                   form->Button2, form->Button3};
  EXPECT_EQ(chain, expected);
}

class Destination : public Dialogs {
 protected:
  void SetUp() override {
    Dialogs::SetUp();
    root_ = testing_support::MakeTempDir("dest");
    form_.reset(new TForm2(nullptr));
  }
  // Shows the dialog with text in Edit1, runs actions in its loop, returns the result.
  int Run(const std::string& text, std::function<void(QWidget*)> action) {
    form_->Edit1->SetText(text);
    WhenModal(std::move(action));
    return form_->ShowModal();
  }
  std::string root_;
  FormPtr<TForm2> form_;
};

TEST_F(Destination, EnterAtOnceProbesTheProposedFolder) {
  const std::string target = root_ + "/Games";
  QWidget* focused = nullptr;
  const int result = Run(WindowsPath(target), [&](QWidget* w) {
    focused = Focused(w);
    PressKey(w, Qt::Key_Return);
  });
  EXPECT_EQ(focused, form_->Button2->Widget());
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(IsEmptyFolder(target));  // created, and the probe file is gone
  EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString(WindowsPath(target)));
}

TEST_F(Destination, CancelAndEscapeGiveTwoWithoutProbe) {
  const std::string target = root_ + "/Never";
  EXPECT_EQ(Run(WindowsPath(target), [](QWidget* w) { PressKey(w, Qt::Key_Escape); }), 2);
  EXPECT_EQ(Run(WindowsPath(target), [](QWidget* w) { ClickButton(w, QString::fromUtf8("キャンセル")); }), 2);
  EXPECT_EQ(Run(WindowsPath(target), [](QWidget* w) { w->close(); }), 2);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(Destination, ProbeCasesLeaveTheFolderEmpty) {
  struct Case {
    const char* what;
    std::string folder;  // host
    std::string suffix;  // appended to the Windows path
  };
  const Case cases[] = {
      {"missing folder with parents", root_ + "/a/b/c", ""},
      {"trailing backslash", root_ + "/back", "\\"},
      {"trailing slash", root_ + "/slash", "/"},
  };
  for (const Case& c : cases) {
    fs::create_directories(fs::path(c.folder).parent_path());
    const int result = Run(WindowsPath(c.folder) + c.suffix, [](QWidget* w) { ClickButton(w, QString::fromUtf8("インストール開始")); });
    EXPECT_EQ(result, 1) << c.what;
    EXPECT_TRUE(IsEmptyFolder(c.folder)) << c.what;
  }
}

TEST_F(Destination, AnExistingProbeFileIsReplacedThenRemoved) {
  testing_support::WriteFile(root_ + "/KWIX.INI", "old contents");
  testing_support::WriteFile(root_ + "/keep.txt", "mine");
  EXPECT_EQ(Run(WindowsPath(root_), [](QWidget* w) { PressKey(w, Qt::Key_Return); }), 1);
  EXPECT_FALSE(fs::exists(root_ + "/KWIX.INI"));
  EXPECT_EQ(testing_support::ReadFile(root_ + "/keep.txt"), "mine");
}

TEST_F(Destination, AnEmptyTextProbesTheCurrentFolder) {
  fs::current_path(root_);
  EXPECT_EQ(Run("", [](QWidget* w) { PressKey(w, Qt::Key_Return); }), 1);
  EXPECT_TRUE(IsEmptyFolder(root_));
  EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString());
}

// A file system on which nothing can be written, as on a read-only medium.
class ReadOnlyFileSystem : public win32::FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0) return Refuse();
    return win32::FileSystem::Open(path, flags, mode);
  }
  int Mkdir(const char*, mode_t) override { return Refuse(); }
  int Rename(const char*, const char*) override { return Refuse(); }

 private:
  static int Refuse() {
    errno = EROFS;
    return -1;
  }
};

TEST_F(Destination, AFailedProbeKeepsTheDialogOpenWithItsText) {
  ReadOnlyFileSystem readOnly;
  struct Case {
    const char* what;
    std::string text;
    bool readOnly;
  };
  const Case cases[] = {
      {"read-only folder", WindowsPath(root_) + "\\ro", true},
      {"missing drive", "Q:\\Games", false},
  };
  for (const Case& c : cases) {
    if (c.readOnly) win32::SetFileSystemForTesting(&readOnly);
    QString report;
    bool openAfterReport = false;
    form_->Edit1->SetText(c.text);
    WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Return); });
    WhenModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr) << c.what;
      report = box->text();
      PressKey(w, Qt::Key_Return);
    });
    WhenModal([&](QWidget* w) {
      openAfterReport = w == form_->Widget();
      PressKey(w, Qt::Key_Escape);
    });
    const int result = form_->ShowModal();
    win32::SetFileSystemForTesting(nullptr);
    EXPECT_EQ(result, 2) << c.what;
    EXPECT_TRUE(openAfterReport) << c.what;
    EXPECT_FALSE(report.isEmpty()) << c.what;
    EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString(c.text)) << c.what;
  }
  EXPECT_FALSE(fs::exists(root_ + "/ro"));
}

TEST_F(Destination, TextTooLongForTheListIsRefusedClearly) {
  fs::current_path(root_);
  const std::string a(200, 'A');
  const std::string katakana = vcl::Ansi("ア").bytes();  // two bytes
  struct Case {
    std::string text;
    bool accepted;
  };
  std::string dbcs;
  for (int i = 0; i < 24; ++i) dbcs += katakana;
  const Case cases[] = {
      {a + "\\" + std::string(48, 'B'), true},           // 249 bytes
      {a + "\\" + std::string(49, 'B'), false},          // 250 bytes
      {a + "\\" + std::string(48, 'C') + "\\", true},    // 250 bytes ending in "\"
      {a + "\\" + std::string(49, 'C') + "\\", false},   // 251 bytes ending in "\"
      {a + "\\" + dbcs, true},                           // 249 bytes, double-byte
      {a + "\\" + dbcs + "x", false},                    // 250 bytes
      {std::string(150, 'D') + "\\" + std::string(149, 'E'), false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.text.size() >= 249);
    QString report;
    form_->Edit1->SetText(c.text);
    WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Return); });
    if (!c.accepted) {
      WhenModal([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) report = box->text();
        PressKey(w, Qt::Key_Return);
      });
      WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    }
    const int result = form_->ShowModal();
    EXPECT_EQ(result, c.accepted ? 1 : 2) << c.text.size();
    if (!c.accepted) {
      EXPECT_TRUE(report.startsWith(QString::fromUtf8("パスが長すぎる"))) << report.toStdString();
      EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString(c.text));
    }
  }
  EXPECT_TRUE(IsEmptyFolder(root_ + "/" + a + "/" + std::string(48, 'B')));
  EXPECT_FALSE(fs::exists(root_ + "/" + a + "/" + std::string(49, 'B')));
  EXPECT_FALSE(fs::exists(root_ + "/" + std::string(150, 'D')));
}

TEST_F(Destination, CheckBoxStartsUntickedAndKeepsItsState) {
  EXPECT_FALSE(form_->CheckBox1->Checked());
  Run("x", [&](QWidget* w) {
    QTest::mouseClick(form_->CheckBox1->Widget(), Qt::LeftButton, {}, QPoint(5, 8));
    PressKey(w, Qt::Key_Escape);
  });
  EXPECT_TRUE(form_->CheckBox1->Checked());
}

TEST_F(Destination, TheBrowserReplacesTheWholeTextOrNothing) {
  const std::string chosen = root_ + "/Chosen";
  fs::create_directories(chosen);
  const auto browse = [](QWidget* w) { ClickButton(w, QString::fromUtf8("参照(&R)...")); };
  // Cancelled: nothing changes.
  WhenModal(browse);
  WhenModal([](QWidget* w) {
    ASSERT_NE(qobject_cast<QFileDialog*>(w), nullptr);
    qobject_cast<QFileDialog*>(w)->reject();
  });
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  form_->Edit1->SetText("C:\\Old\\Path");
  form_->ShowModal();
  EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString("C:\\Old\\Path"));
  // Confirmed: the folder's Windows path, nothing added.
  bool directoriesOnly = false;
  WhenModal(browse);
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    directoriesOnly = dialog->fileMode() == QFileDialog::Directory &&
                      dialog->testOption(QFileDialog::ShowDirsOnly);
    dialog->setDirectory(QString::fromStdString(root_));
    dialog->selectFile(QString::fromStdString(chosen));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, through QDialog
  });
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  form_->ShowModal();
  EXPECT_TRUE(directoriesOnly);
  EXPECT_EQ(form_->Edit1->Text(), vcl::AnsiString(WindowsPath(chosen)));
}

TEST_F(Destination, CentredAtFirstShowingAndKeptLater) {
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  form_->ShowModal();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form_->Left(), (screen.width() - form_->Width()) / 2);
  EXPECT_EQ(form_->Top(), (screen.height() - form_->Height()) / 2);
  form_->SetLeft(3);
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
  form_->ShowModal();
  EXPECT_EQ(form_->Left(), 3);
  EXPECT_FALSE(form_->Widget()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

// ---- Status, completion and volume prompt

TEST_F(Dialogs, SmallDialogsAreBuiltAsDescribed) {
  FormPtr<TForm3> status(new TForm3(nullptr));
  FormPtr<TForm4> done(new TForm4(nullptr));
  FormPtr<TForm5> prompt(new TForm5(nullptr));
  EXPECT_EQ(status->ClientWidth(), 401);
  EXPECT_EQ(status->ClientHeight(), 65);
  EXPECT_EQ(done->ClientHeight(), 97);
  EXPECT_EQ(prompt->ClientHeight(), 97);
  for (vcl::TForm* form : {static_cast<vcl::TForm*>(status.get()), static_cast<vcl::TForm*>(done.get()),
                           static_cast<vcl::TForm*>(prompt.get())}) {
    EXPECT_EQ(form->Caption(), vcl::Ansi("セットアップ"));
    EXPECT_EQ(form->BorderStyle(), vcl::bsDialog);
    EXPECT_EQ(form->BorderIcons(), 0);
    EXPECT_EQ(form->Position(), vcl::poScreenCenter);
    EXPECT_EQ(form->Font()->Height(), -12);
  }
  for (vcl::TLabel* label : {status->Label1, done->Label1, prompt->Label1}) {
    EXPECT_EQ(RectOf(label), (Rect{8, 24, 385, 12}));
    EXPECT_EQ(label->Alignment(), vcl::taCenter);
    EXPECT_FALSE(label->AutoSize());
  }
  EXPECT_EQ(status->Label1->Caption(), vcl::AnsiString());
  EXPECT_EQ(done->Label1->Caption(), vcl::Ansi("インストールが完了しました。"));
  EXPECT_EQ(RectOf(done->Button1), (Rect{160, 64, 81, 25}));
  EXPECT_EQ(done->Button1->Caption(), vcl::AnsiString("OK"));
  EXPECT_TRUE(done->Button1->Default());
  EXPECT_TRUE(done->Button1->Cancel());
  EXPECT_EQ(done->Button1->ModalResult(), 1);
  EXPECT_EQ(RectOf(prompt->Button1), (Rect{112, 64, 81, 25}));
  EXPECT_EQ(RectOf(prompt->Button2), (Rect{208, 64, 81, 25}));
  EXPECT_TRUE(prompt->Button1->Default());
  EXPECT_FALSE(prompt->Button1->Cancel());
  EXPECT_EQ(prompt->Button2->Caption(), vcl::AnsiString("\xB7\xAC\xDD\xBE\xD9"));  // ｷｬﾝｾﾙ
  EXPECT_TRUE(prompt->Button2->Cancel());
  EXPECT_EQ(prompt->Button2->ModalResult(), 2);
}

TEST_F(Dialogs, ModalResultsOfCompletionAndPrompt) {
  struct Case {
    const char* what;
    bool prompt;
    std::function<void(QWidget*)> act;
    int expected;
  };
  const auto key = [](int k) { return [k](QWidget* w) { PressKey(w, k); }; };
  const Case cases[] = {
      {"prompt Enter", true, key(Qt::Key_Return), 1},
      {"prompt Escape", true, key(Qt::Key_Escape), 2},
      {"prompt Tab Enter", true,
       [](QWidget* w) {
         PressKey(w, Qt::Key_Tab);
         PressKey(w, Qt::Key_Return);
       },
       2},
      {"prompt Tab Tab Enter", true,
       [](QWidget* w) {
         PressKey(w, Qt::Key_Tab);
         PressKey(w, Qt::Key_Tab);
         PressKey(w, Qt::Key_Return);
       },
       1},
      {"prompt click OK", true, [](QWidget* w) { ClickButton(w, "OK"); }, 1},
      {"prompt click ｷｬﾝｾﾙ", true, [](QWidget* w) { ClickButton(w, QString::fromUtf8("ｷｬﾝｾﾙ")); }, 2},
      {"prompt close request", true, [](QWidget* w) { w->close(); }, 2},
      {"completion Enter", false, key(Qt::Key_Return), 1},
      {"completion Escape", false, key(Qt::Key_Escape), 1},
      {"completion click OK", false, [](QWidget* w) { ClickButton(w, "OK"); }, 1},
      {"completion close request", false, [](QWidget* w) { w->close(); }, 2},
  };
  for (const Case& c : cases) {
    vcl::TForm* form = c.prompt ? static_cast<vcl::TForm*>(new TForm5(nullptr))
                                : static_cast<vcl::TForm*>(new TForm4(nullptr));
    QWidget* first = nullptr;
    WhenModal([&](QWidget* w) {
      first = Focused(w);
      c.act(w);
    });
    EXPECT_EQ(form->ShowModal(), c.expected) << c.what;
    auto* ok = c.prompt ? static_cast<TForm5*>(form)->Button1 : static_cast<TForm4*>(form)->Button1;
    EXPECT_EQ(first, ok->Widget()) << c.what;
    form->Release();
  }
  vcl::Application->ProcessMessages();
}

TEST_F(Dialogs, TwoPromptsAreTwoInstancesEachReleased) {
  int destroyed = 0;
  TForm5* first = new TForm5(nullptr);
  Form5 = first;
  first->OnDestroy = [&](vcl::TObject*) { ++destroyed; };
  first->Label1->SetCaption(vcl::Ansi("2 枚目のディスクをセットしてください"));
  WhenModal([](QWidget* w) { PressKey(w, Qt::Key_Return); });
  first->ShowModal();
  first->Release();
  TForm5* second = new TForm5(nullptr);
  Form5 = second;
  second->OnDestroy = [&](vcl::TObject*) { ++destroyed; };
  EXPECT_EQ(second->Label1->Caption(), vcl::AnsiString());  // no older text
  int destroyedWhileSecondOpen = -1;
  WhenModal([&](QWidget* w) {
    destroyedWhileSecondOpen = destroyed;
    PressKey(w, Qt::Key_Escape);
  });
  second->ShowModal();
  second->Release();
  vcl::Application->ProcessMessages();
  EXPECT_EQ(destroyedWhileSecondOpen, 1);  // the first went in the second's loop
  EXPECT_EQ(destroyed, 2);
  Form5 = nullptr;
}

// Whether image (a label's grab) has dark pixels in column x.
bool InkInColumn(const QImage& image, int x) {
  for (int y = 0; y < image.height(); ++y) {
    if (qGray(image.pixel(x, y)) < 128) return true;
  }
  return false;
}

TEST_F(Dialogs, StatusTextIsPaintedByUpdateAndAWideOneIsCutCentredOnOneLine) {
  FormPtr<TForm3> status(new TForm3(nullptr));
  int labelPaints = 0;
  struct Counter : QObject {
    int* count;
    explicit Counter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter(&labelPaints);
  status->Label1->Widget()->installEventFilter(&counter);
  status->Label1->SetCaption(vcl::Ansi("ファイルの結合中です ..."));
  status->Show();
  status->Update();
  EXPECT_GT(labelPaints, 0);
  EXPECT_EQ(static_cast<QLabel*>(status->Label1->Widget())->text(),
            QString::fromUtf8("ファイルの結合中です ..."));
  const int before = labelPaints;
  status->Label1->SetCaption(vcl::Ansi("インストール中です..."));
  status->Update();
  EXPECT_GT(labelPaints, before);
  const QImage narrow = status->Label1->Widget()->grab().toImage();
  EXPECT_FALSE(InkInColumn(narrow, 0));
  EXPECT_FALSE(InkInColumn(narrow, narrow.width() - 1));
  std::string wide;
  for (int i = 0; i < 12; ++i) wide += vcl::Ansi("とても長い状態の表示").bytes();
  status->Label1->SetCaption(wide);
  status->Update();
  const QImage cut = status->Label1->Widget()->grab().toImage();
  EXPECT_EQ(cut.size(), QSize(385, 12));  // one line, the label's own box
  EXPECT_TRUE(InkInColumn(cut, 1));
  EXPECT_TRUE(InkInColumn(cut, cut.width() - 2));
  status->Hide();
  EXPECT_FALSE(status->Widget()->isVisible());
}

}  // namespace
