// Driving real Qt windows from tests: keys and clicks into modal loops that are
// arranged before the loop is entered, and the orderly end of the application.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace vcl_testing {

// Runs action on the first event-loop pass after the calling code enters a
// modal loop (a zero-delay single-shot timer); action receives the active modal
// window. Several calls run in order, each after the one before has run.
void WhenModal(std::function<void(QWidget* modal)> action);

// Presses key (with modifiers) on the focused control of window (or window).
void PressKey(QWidget* window, int key, int modifiers = 0);
// The control that has the focus in window.
QWidget* Focused(QWidget* window);
// Clicks the push button of window whose text is text (UTF-8, "&" ignored).
void ClickButton(QWidget* window, const QString& text);
// Handles pending events for up to ms milliseconds.
void Pump(int ms = 0);
// The top-level windows that are visible now.
int VisibleTopLevels();

}  // namespace vcl_testing
