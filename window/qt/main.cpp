// The Linux program: one stopwatch window in Qt Widgets.
#include <xcb/xcb.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "form1.h"
#include "tempulix/version.h"

namespace {

// Qt aborts with a core dump when it cannot reach a display; say what is wrong instead.
bool displayReachable() {
  if (std::getenv("QT_QPA_PLATFORM") || std::getenv("WAYLAND_DISPLAY")) {
    return true;  // Qt is told where to go, or Wayland can take the window
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reachable;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!displayReachable()) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "tempulix: cannot open the display%s%s.\n"
                 "Tempulix is a desktop program: run it in an X11 session, or a Wayland session "
                 "with XWayland, where DISPLAY names the display.\n"
                 "Without a desktop, a virtual one will do: xvfb-run tempulix\n",
                 display && *display ? " " : " (DISPLAY is not set)",
                 display && *display ? display : "");
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral(TEMPULIX_NAME));
  QApplication::setApplicationVersion(QStringLiteral(TEMPULIX_VERSION_TEXT));
  // Lets the desktop match the window to its launcher entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(TEMPULIX_APP_ID));

  tempulix::Form1 form1;
  form1.show();
  return QApplication::exec();
}
