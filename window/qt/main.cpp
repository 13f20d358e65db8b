// The Linux program: one stopwatch window in Qt Widgets.
#include <QApplication>
#include <QPixmapCache>
#include <cstdio>
#include <memory>

#include "character_type.h"
#include "form1.h"
#include "platform_choice.h"
#include "portal_shortcuts.h"
#include "qt_messages.h"
#include "session.h"
#include "session_type.h"
#include "tempulix/version.h"
#include "window_palette.h"

int main(int /*argc*/, char* argv[]) {
  // Decided before Qt starts: Qt aborts with a core dump when it cannot reach a display, and
  // left to itself it prefers native Wayland, where the window cannot stay on top.
  const tempulix::PlatformChoice choice = tempulix::choosePlatform(tempulix::probeDisplays());
  std::fputs(choice.message.c_str(), stderr);
  if (!choice.canRun) {
    return 1;
  }
  if (!choice.platform.empty()) {
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(choice.platform));
  }

  tempulix::useUtf8CharacterType();
  tempulix::dropOtherProgramsNoise();

  // The program takes no command line, and hands none to Qt either.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral(TEMPULIX_NAME));
  QApplication::setApplicationVersion(QStringLiteral(TEMPULIX_VERSION_TEXT));
  // Lets the desktop match the window to its launcher entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(TEMPULIX_APP_ID));
  // No pixmap cache: its upkeep wakes the program every 10 to 30 s for minutes after anything is
  // painted, to let go of what it holds. A tick repaints the time alone, which it never holds;
  // the buttons and pictures it would keep are drawn afresh on the rare repaint.
  QPixmapCache::setCacheLimit(0);

  // The platform's pieces, put together here and nowhere else. On X11 the program is one of the
  // server's clients (x11/session.h), and the always-on-top switch is the session's; elsewhere
  // there is none, and keep-above fails silently.
  std::unique_ptr<tempulix::x11::Session> x11;
  tempulix::Controller::OnTopSwitch onTop;
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    x11 = std::make_unique<tempulix::x11::Session>();
    onTop = [session = x11.get()](tempulix::WindowHandle& window, std::int16_t& flag) {
      session->setOnTop(window, flag);
    };
  }
  tempulix::Form1 form1(onTop);
  if (x11) {
    QObject::connect(x11.get(), &tempulix::x11::Session::eventsStopped, &form1,
                     [&form1] { form1.endAsClosed(2); });
  }
  // The global shortcuts: in a Wayland session from the desktop's portal, since the X11 grabs of
  // its XWayland never see a key pressed in a Wayland window; in an X11 session every program's
  // keys pass the X server, where they are grabbed.
  std::unique_ptr<tempulix::PortalShortcuts> portalShortcuts;
  if (tempulix::waylandSession()) {
    portalShortcuts =
        std::make_unique<tempulix::PortalShortcuts>(QGuiApplication::desktopFileName());
    QObject::connect(portalShortcuts.get(), &tempulix::PortalShortcuts::activated, &form1,
                     &tempulix::Form1::globalShortcut);
  } else if (x11) {
    QObject::connect(x11.get(), &tempulix::x11::Session::globalShortcutPressed, &form1,
                     &tempulix::Form1::globalShortcut);
    x11->grabGlobalShortcuts();
  }
  // The desktop's light or dark style, followed for as long as the window lives.
  const tempulix::palette::Follower palette(form1);
  form1.show();
  return QApplication::exec();
}
