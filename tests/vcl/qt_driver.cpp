#include "qt_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>

#include <gtest/gtest.h>

#include "vcl/application.h"

namespace vcl_testing {
namespace {

std::deque<std::function<void(QWidget*)>>& Pending() {
  static std::deque<std::function<void(QWidget*)>> pending;
  return pending;
}

void Arm();

void RunNext() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) {
    Arm();  // the loop is not there yet: try again on the next pass
    return;
  }
  auto action = std::move(Pending().front());
  Pending().pop_front();
  // The next action is armed first: this one may open a nested modal loop (a
  // message box) that only the next one ends.
  if (!Pending().empty()) Arm();
  action(modal);
}

void Arm() { QTimer::singleShot(0, [] { RunNext(); }); }

// Destroys the application's forms and the Qt application at the end.
class ApplicationEnvironment : public testing::Environment {
 public:
  void TearDown() override { vcl::DoneApplication(); }
};

const auto* const environment = testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace

void WhenModal(std::function<void(QWidget* modal)> action) {
  const bool idle = Pending().empty();
  Pending().push_back(std::move(action));
  if (idle) Arm();
}

QWidget* Focused(QWidget* window) {
  QWidget* focused = window->focusWidget();
  return focused != nullptr ? focused : window;
}

void PressKey(QWidget* window, int key, int modifiers) {
  QTest::keyClick(Focused(window), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
}

void ClickButton(QWidget* window, const QString& text) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->text().remove('&') == QString(text).remove('&')) {
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  } while (timer.elapsed() < ms);
}

int VisibleTopLevels() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) ++count;
  }
  return count;
}

}  // namespace vcl_testing
