#include "internal/gui.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QFile>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "internal/dialog_keys.h"
#include "internal/message_box.h"
#include "vcl/application.h"
#include "vcl/exception.h"
#include "win32/report.h"

#ifdef VCL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace vcl::internal {
namespace {

QApplication*& TheApp() {
  static QApplication* app = nullptr;
  return app;
}

bool XDisplayReachable() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
#ifdef VCL_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool ok = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return ok;
#else
  return true;
#endif
}

bool WaylandUsable() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/";
  return QFile::exists(plugins + "libqwayland-generic.so") ||
         QFile::exists(plugins + "libqwayland-egl.so");
}

// Whether Qt will find a platform to open windows on. Qt itself ends the process
// with an abort when it finds none, which a user must never see.
bool PlatformUsable(std::string* why) {
  const char* requested = std::getenv("QT_QPA_PLATFORM");
  std::string list = requested != nullptr ? requested : "";
  if (list.empty()) {
    // Under Wayland a client cannot place its own windows; through XWayland the
    // backdrop's and the dialogs' geometry stays exact.
    if (XDisplayReachable()) {
      qputenv("QT_QPA_PLATFORM", "xcb");
      return true;
    }
    if (WaylandUsable()) return true;
    *why = "no display is available (DISPLAY and WAYLAND_DISPLAY name none that can be opened)";
    return false;
  }
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string name = list.substr(start, end - start);
    name = name.substr(0, name.find(':'));
    if (name == "xcb") {
      if (XDisplayReachable()) return true;
    } else if (name.rfind("wayland", 0) == 0) {
      if (WaylandUsable()) return true;
    } else if (!name.empty()) {
      return true;  // offscreen, minimal, vnc, eglfs, linuxfb: no display needed
    }
    start = end + 1;
  }
  *why = "the display named by QT_QPA_PLATFORM (\"" + list + "\") cannot be opened";
  return false;
}

// Qt keeps pointers to argc and argv for its whole life. The program's own
// arguments are never passed: they must change nothing.
int gArgc = 1;
char gProgram[] = "Setup";
char* gArgv[] = {gProgram, nullptr};

void InstallIcon() {
  const QString resource = ":/" + QString::fromStdString(Application->Icon()->ResourceName().bytes());
  if (QFile::exists(resource)) QApplication::setWindowIcon(QIcon(resource));
}

}  // namespace

void EnsureGui() {
  if (TheApp() != nullptr) return;
  std::string why;
  if (!PlatformUsable(&why)) {
    std::fprintf(stderr, "%s: cannot show the installer: %s.\n", Application->Title().c_str(),
                 why.c_str());
    std::fflush(stderr);
    throw ENoDisplay();
  }
  TheApp() = new QApplication(gArgc, gArgv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QString::fromStdString(Application->Title().bytes()));
  InstallIcon();
  InstallDialogKeys();
  win32::SetReportHook([](HWND owner, const std::string& caption, const std::string& text) {
    ShowMessageBox(owner, QString::fromStdString(caption), QString::fromStdString(text),
                   0x10 /* MB_ICONSTOP */);
  });
}

bool DisplayAvailable() {
  std::string why;
  return PlatformUsable(&why);
}

bool GuiExists() { return TheApp() != nullptr; }

void DestroyGui() {
  if (TheApp() == nullptr) return;
  win32::SetReportHook(nullptr);
  delete TheApp();
  TheApp() = nullptr;
}

void Guarded(const std::function<void()>& f) {
  try {
    f();
  } catch (...) {
    Application->HandleException(nullptr);
  }
}

}  // namespace vcl::internal
