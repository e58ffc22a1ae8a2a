#include "vcl/forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <map>

#include "internal/fonts.h"
#include "internal/form_builder.h"
#include "internal/form_widget.h"
#include "internal/gui.h"
#include "internal/qt_text.h"
#include "internal/resources.h"
#include "vcl/application.h"
#include "vcl/form_description.h"
#include "vcl/stdctrls.h"

namespace vcl {
namespace {

bool IsTrue(const FormValue& value) {
  return value.kind == FormValue::Kind::Identifier && value.text == "True";
}

// Calls f for every control on parent, depth first.
void ForEachControl(TWinControl& parent, const std::function<void(TControl&)>& f) {
  for (TControl* control : parent.Controls()) {
    f(*control);
    if (auto* container = dynamic_cast<TWinControl*>(control)) ForEachControl(*container, f);
  }
}

bool Pressable(TButton& button) { return button.Visible() && button.Enabled(); }

const std::map<std::string, TColor>& ColourNames() {
  static const std::map<std::string, TColor> names = {
      {"clBlack", clBlack}, {"clWhite", clWhite}, {"clWindowText", clWindowText},
      {"clBtnFace", clBtnFace}, {"clWindow", clWindow}};
  return names;
}

int CharsetOf(const FormValue& value) {
  if (value.kind == FormValue::Kind::Integer) return static_cast<int>(value.integer);
  if (value.text == "SHIFTJIS_CHARSET") return SHIFTJIS_CHARSET;
  return DEFAULT_CHARSET;
}

int StyleOf(const FormValue& value) {
  int style = 0;
  for (const std::string& item : value.items) {
    if (item == "fsBold") style |= fsBold;
    if (item == "fsItalic") style |= fsItalic;
    if (item == "fsUnderline") style |= fsUnderline;
    if (item == "fsStrikeOut") style |= fsStrikeOut;
  }
  return style;
}

TFormBorderStyle BorderStyleOf(const std::string& name) {
  static const std::map<std::string, TFormBorderStyle> styles = {
      {"bsNone", bsNone},         {"bsSingle", bsSingle},         {"bsSizeable", bsSizeable},
      {"bsDialog", bsDialog},     {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}};
  const auto found = styles.find(name);
  if (found == styles.end()) throw EResNotFound(AnsiString("unknown border style " + name));
  return found->second;
}

TPosition PositionOf(const std::string& name) {
  static const std::map<std::string, TPosition> positions = {
      {"poDesigned", poDesigned},           {"poDefault", poDefault},
      {"poDefaultPosOnly", poDefaultPosOnly}, {"poDefaultSizeOnly", poDefaultSizeOnly},
      {"poScreenCenter", poScreenCenter},   {"poDesktopCenter", poDesktopCenter},
      {"poMainFormCenter", poMainFormCenter}, {"poOwnerFormCenter", poOwnerFormCenter}};
  const auto found = positions.find(name);
  if (found == positions.end()) throw EResNotFound(AnsiString("unknown position " + name));
  return found->second;
}

int BorderIconsOf(const FormValue& value) {
  int icons = 0;
  for (const std::string& item : value.items) {
    if (item == "biSystemMenu") icons |= biSystemMenu;
    else if (item == "biMinimize") icons |= biMinimize;
    else if (item == "biMaximize") icons |= biMaximize;
    else if (item == "biHelp") icons |= biHelp;
    else throw EResNotFound(AnsiString("unknown border icon " + item));
  }
  return icons;
}

}  // namespace

namespace internal {

void BringToFront(QWidget* window) {
  // The offscreen platform cannot stack windows and says so on every call.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    window->raise();
    // Owned windows stay in front of their owner, as on Windows, even where no
    // window manager keeps transient windows above their parent.
    for (QWidget* other : QApplication::topLevelWidgets()) {
      if (other != window && other->isVisible() && other->windowHandle() != nullptr &&
          other->windowHandle()->transientParent() == window->windowHandle()) {
        other->raise();
      }
    }
  }
  window->activateWindow();
}

}  // namespace internal

TForm::TForm(TComponent* owner) : TWinControl(owner) { Construct(); }

TForm::TForm(TComponent* owner, CreateNewTag) : TWinControl(owner) { Construct(); }

void TForm::Construct() {
  internal::EnsureGui();
  auto* window = new FormWidget(this);
  AttachWidget(window);
  TControl::SetVisible(false);
  font_.OnChange = [this] { ApplyFont(); };
  ApplyWindowFlags();
  ApplyFont();
}

TForm::~TForm() {
  destroying_ = true;
  // The controls go first, while the window they lie on still exists.
  DestroyComponents();
  if (FormWidget* window = Window()) window->Detach();
  Application->FormDestroying(this);
}

void TForm::BeforeDestruction() {
  if (destroying_) return;
  destroying_ = true;
  internal::Guarded([this] {
    if (OnDestroy) OnDestroy(this);
  });
}

FormWidget* TForm::Window() const { return static_cast<FormWidget*>(Widget()); }

void TForm::LoadDescription(const std::string& resourceName, const FormBindings& bindings) {
  const auto text = internal::LoadResource(resourceName);
  if (!text) throw EResNotFound(AnsiString("resource " + resourceName + " not found"));
  const FormObject root = ParseFormDescription(*text, resourceName);
  internal::BuildForm(*this, root, bindings, resourceName);
  ApplyTabOrder();
  // An error in the creation handler is reported and the form stays.
  internal::Guarded([this] {
    if (OnCreate) OnCreate(this);
  });
}

bool TForm::ReadProperty(const FormProperty& property, const FormBindings& bindings) {
  const std::string& name = property.name;
  const FormValue& value = property.value;
  const int number = static_cast<int>(value.integer);
  if (name == "Caption") SetCaption(AnsiString(value.text));
  else if (name == "ClientWidth") SetClientWidth(number);
  else if (name == "ClientHeight") SetClientHeight(number);
  else if (name == "BorderStyle") SetBorderStyle(BorderStyleOf(value.text));
  else if (name == "BorderIcons") SetBorderIcons(BorderIconsOf(value));
  else if (name == "Position") SetPosition(PositionOf(value.text));
  else if (name == "Font.Name") font_.SetName(AnsiString(value.text));
  else if (name == "Font.Height") font_.SetHeight(number);
  else if (name == "Font.Charset") font_.SetCharset(CharsetOf(value));
  else if (name == "Font.Style") font_.SetStyle(StyleOf(value));
  else if (name == "Font.Color") {
    const auto found = ColourNames().find(value.text);
    font_.SetColor(value.kind == FormValue::Kind::Integer ? number
                   : found != ColourNames().end()         ? found->second
                                                          : clWindowText);
  } else if (name == "Visible") {
    // A form is created hidden; Show or ShowModal makes it visible.
    (void)IsTrue(value);
  } else if (name == "PixelsPerInch" || name == "TextHeight" || name == "OldCreateOrder" ||
             name == "Scaled" || name == "Color") {
    // Layouts are in pixels at 96 per inch; the desktop scales them.
  } else if (name == "OnCreate") OnCreate = bindings.HandlerNamed(value.text);
  else if (name == "OnActivate") OnActivate = bindings.HandlerNamed(value.text);
  else if (name == "OnDeactivate") OnDeactivate = bindings.HandlerNamed(value.text);
  else if (name == "OnPaint") OnPaint = bindings.HandlerNamed(value.text);
  else if (name == "OnDestroy") OnDestroy = bindings.HandlerNamed(value.text);
  else if (name == "OnShow") OnShow = bindings.HandlerNamed(value.text);
  else if (name == "OnHide") OnHide = bindings.HandlerNamed(value.text);
  else return TWinControl::ReadProperty(property, bindings);
  return true;
}

// ---- Look

void TForm::SetCaption(const AnsiString& caption) {
  caption_ = caption;
  Widget()->setWindowTitle(internal::ToQString(caption));
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  ApplyWindowFlags();
}

void TForm::SetBorderIcons(int icons) {
  borderIcons_ = icons;
  ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
  Qt::WindowFlags flags;
  const bool systemMenu = (borderIcons_ & biSystemMenu) != 0;
  switch (borderStyle_) {
    case bsNone:
      flags = Qt::Window | Qt::FramelessWindowHint;
      break;
    case bsDialog:
    case bsToolWindow:
      flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      break;
    default:
      flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if ((borderIcons_ & biMinimize) != 0) flags |= Qt::WindowMinimizeButtonHint;
        if ((borderIcons_ & biMaximize) != 0 && borderStyle_ == bsSizeable) {
          flags |= Qt::WindowMaximizeButtonHint;
        }
      }
      break;
  }
  QWidget* window = Widget();
  const bool wasVisible = window->isVisible();
  window->setWindowFlags(flags);
  if (wasVisible) window->show();
  ApplyFixedSize();
}

void TForm::ApplyFont() { Widget()->setFont(internal::ToQFont(font_)); }

void TForm::ApplyFixedSize() {
  QWidget* window = Widget();
  if (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin) {
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    window->setFixedSize(window->size());
  }
}

// ---- Geometry

int TForm::ClientWidth() const { return Widget()->width(); }
int TForm::ClientHeight() const { return Widget()->height(); }

void TForm::SetClientWidth(int width) {
  Widget()->setMinimumSize(0, 0);
  Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Widget()->resize(std::max(width, 0), Widget()->height());
  ApplyFixedSize();
}

void TForm::SetClientHeight(int height) {
  Widget()->setMinimumSize(0, 0);
  Widget()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Widget()->resize(Widget()->width(), std::max(height, 0));
  ApplyFixedSize();
}

int TForm::Width() const { return Widget()->frameGeometry().width(); }
int TForm::Height() const { return Widget()->frameGeometry().height(); }

void TForm::SetLeft(int left) { Widget()->move(left, Widget()->y()); }
void TForm::SetTop(int top) { Widget()->move(Widget()->x(), top); }

void TForm::SetWidth(int width) {
  const int frame = Widget()->frameGeometry().width() - Widget()->width();
  SetClientWidth(width - frame);
}

void TForm::SetHeight(int height) {
  const int frame = Widget()->frameGeometry().height() - Widget()->height();
  SetClientHeight(height - frame);
}

void TForm::PlaceForShowing() {
  if (shownOnce_) return;
  shownOnce_ = true;
  // poDefault and the other default positions keep the form's own geometry: the
  // window system's default placement is not used.
  if (position_ != poScreenCenter && position_ != poDesktopCenter &&
      position_ != poMainFormCenter && position_ != poOwnerFormCenter) {
    return;
  }
  Widget()->winId();  // a platform window, so that the frame is known where it can be
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const int left = std::max(0, (screen.width() - Width()) / 2);
  const int top = std::max(0, (screen.height() - Height()) / 2);
  Widget()->move(screen.x() + left, screen.y() + top);
}

// ---- Showing

void TForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  QWidget* window = Widget();
  if (visible) {
    PlaceForShowing();
    ApplyTabOrder();
    TForm* main = Application->MainForm();
    if (main != nullptr && main != this && main->Widget() != nullptr) {
      window->winId();
      main->Widget()->winId();
      window->windowHandle()->setTransientParent(main->Widget()->windowHandle());
    }
    internal::Guarded([this] {
      if (OnShow) OnShow(this);
    });
    TControl::SetVisible(true);
    window->show();
  } else {
    internal::Guarded([this] {
      if (OnHide) OnHide(this);
    });
    TControl::SetVisible(false);
    window->hide();
    if (Application->ActiveForm() == this) {
      TForm* main = Application->MainForm();
      Application->SetActiveForm(main != nullptr && main != this && main->Visible() ? main : nullptr);
    }
  }
}

void TForm::Show() {
  SetVisible(true);
  internal::BringToFront(Widget());
  Application->SetActiveForm(this);
  FocusFirstControl();
}

void TForm::Hide() { SetVisible(false); }

bool TForm::Active() const { return Application->ActiveForm() == this; }

int TForm::ShowModal() {
  if (IsModal() || Visible()) throw Exception("Cannot make a visible window modal");
  TForm* previous = Application->ActiveForm();
  modalResult_ = mrNone;
  QEventLoop loop;
  modalLoop_ = &loop;
  Widget()->setWindowModality(Qt::ApplicationModal);
  Application->PushModal(this);
  Show();
  while (modalResult_ == mrNone && !Application->Terminated()) loop.exec();
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  modalLoop_ = nullptr;
  Application->PopModal(this);
  Hide();
  Widget()->setWindowModality(Qt::NonModal);
  if (previous != nullptr && previous != this && previous->Visible()) {
    previous->Widget()->activateWindow();
    Application->SetActiveForm(previous);
  }
  return modalResult_;
}

void TForm::SetModalResult(int result) {
  modalResult_ = result;
  if (result != mrNone && modalLoop_ != nullptr) modalLoop_->quit();
}

void TForm::Close() {
  if (IsModal()) {
    SetModalResult(mrCancel);
  } else if (Application->MainForm() == this) {
    Application->Terminate();
  } else {
    Hide();
  }
}

void TForm::HandleCloseRequest() { Close(); }

void TForm::Release() { Application->PostRelease(this); }

void TForm::SetFocus() {
  if (!Visible()) return;
  internal::BringToFront(Widget());
  Application->SetActiveForm(this);
  FocusFirstControl();
}

void TForm::Update() {
  if (!Visible()) return;
  // A window shown a moment ago is mapped by the window system asynchronously,
  // and Qt paints only mapped windows. Waiting for that (with user input left in
  // the queue) is what makes a status window show its text before the work.
  QWindow* window = Widget()->windowHandle();
  QElapsedTimer waited;
  waited.start();
  while (window != nullptr && !window->isExposed() && waited.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  }
  Widget()->repaint();
}

// ---- Focus and keys

void TForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  if (control != nullptr && Visible() && control->CanFocus()) {
    control->Widget()->setFocus(Qt::OtherFocusReason);
  }
}

void TForm::ApplyTabOrder() {
  std::vector<TWinControl*> chain;
  CollectTabChain(chain);
  for (std::size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(chain[i - 1]->Widget(), chain[i]->Widget());
  }
}

void TForm::FocusFirstControl() {
  TWinControl* target = activeControl_;
  if (target == nullptr || !target->CanFocus()) {
    std::vector<TWinControl*> chain;
    CollectTabChain(chain);
    target = chain.empty() ? nullptr : chain.front();
  }
  activeControl_ = target;
  if (target != nullptr) target->Widget()->setFocus(Qt::ActiveWindowFocusReason);
}

bool TForm::HandleDialogKey(int key) {
  TButton* target = nullptr;
  if (key == 0x0D) {
    QWidget* focused = Widget()->focusWidget();
    ForEachControl(*this, [&](TControl& control) {
      auto* button = dynamic_cast<TButton*>(&control);
      if (button != nullptr && button->Widget() == focused && Pressable(*button)) target = button;
    });
    if (target == nullptr) {
      ForEachControl(*this, [&](TControl& control) {
        auto* button = dynamic_cast<TButton*>(&control);
        if (target == nullptr && button != nullptr && button->Default() && Pressable(*button)) {
          target = button;
        }
      });
    }
  } else if (key == 0x1B) {
    ForEachControl(*this, [&](TControl& control) {
      auto* button = dynamic_cast<TButton*>(&control);
      if (target == nullptr && button != nullptr && button->Cancel() && Pressable(*button)) {
        target = button;
      }
    });
  }
  if (target == nullptr) return false;
  internal::Guarded([target] { target->Click(); });
  return true;
}

// ---- Events raised by the library

void TForm::DoActivate() {
  // An activation that arrives while the handler still runs raises nothing.
  if (inActivate_ || destroying_) return;
  inActivate_ = true;
  internal::Guarded([this] {
    if (OnActivate) OnActivate(this);
  });
  inActivate_ = false;
}

void TForm::DoDeactivate() {
  if (destroying_) return;
  internal::Guarded([this] {
    if (OnDeactivate) OnDeactivate(this);
  });
}

void TForm::DoPaint() {
  if (OnPaint) OnPaint(this);
}

}  // namespace vcl
