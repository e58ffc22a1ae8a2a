#include "user.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <fstream>

namespace matrix {
namespace {

struct Script {
  std::vector<std::string> answers;
  std::size_t next = 0;
  std::ofstream log;
  QPointer<QWidget> answered;  // the window last answered, until it goes
  int waitedOnAnswered = 0;    // polls since, for a window that stays open
  bool destinationSeen = false;
};

Script* script = nullptr;

std::string TextsOf(QWidget* window) {
  std::string texts = window->windowTitle().toStdString();
  if (auto* box = qobject_cast<QMessageBox*>(window)) texts += " | " + box->text().toStdString();
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) texts += " | " + label->text().toStdString();
  }
  return texts;
}

void Answer(QWidget* window, const std::string& answer) {
  std::string keys = answer;
  if (answer.rfind("text:", 0) == 0) {
    const std::size_t end = answer.find(';');
    if (QLineEdit* edit = window->findChild<QLineEdit*>()) {
      edit->setText(QString::fromStdString(answer.substr(5, end - 5)));
    }
    keys = end == std::string::npos ? "Return" : answer.substr(end + 1);
  }
  QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
  QTest::keyClick(target, keys == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
}

// The window waiting for the user: the modal one, or else a message box.
QWidget* WaitingWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible() && qobject_cast<QMessageBox*>(top) != nullptr) return top;
  }
  return nullptr;
}

void Poll() {
  QWidget* window = WaitingWindow();
  if (window == nullptr || !window->isVisible()) return;
  // A window answered before is answered again only when it is still waiting a
  // second later (the destination dialog after a failed probe).
  if (window == script->answered && ++script->waitedOnAnswered < 50) return;
  script->waitedOnAnswered = 0;
  const bool destination = window->findChild<QLineEdit*>() != nullptr;
  std::string answer;
  if (script->next < script->answers.size()) {
    answer = script->answers[script->next++];
  } else {
    answer = destination && script->destinationSeen ? "Escape" : "Return";
  }
  if (destination) script->destinationSeen = true;
  script->log << "window " << (destination ? "destination" : "other") << " : " << TextsOf(window)
              << "\nanswer " << answer << "\n";
  script->log.flush();
  script->answered = window;
  // Answered from a fresh event: the answer may open a nested loop (a message
  // box), in which this poll must be able to run again.
  QTimer::singleShot(0, window, [window, answer] { Answer(window, answer); });
}

void Begin() {
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, &Poll);
  timer->start(20);
}

}  // namespace

void StartScriptedUser(const std::vector<std::string>& answers, const std::string& logPath) {
  script = new Script{answers, 0, std::ofstream(logPath), nullptr, 0, false};
  // The form library makes its Qt application only when it first needs it; the
  // user starts watching as soon as it exists.
  qAddPreRoutine(&Begin);
}

}  // namespace matrix
