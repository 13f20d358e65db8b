// The Linux program: one stopwatch window in Qt Widgets.
#include <QApplication>
#include <QPixmapCache>
#include <cstdio>
#include <memory>

#include "character_type.h"
#include "form1.h"
#include "key_grabs.h"
#include "platform_choice.h"
#include "portal_shortcuts.h"
#include "qt_messages.h"
#include "session_type.h"
#include "stay_on_top_hint.h"
#include "tempulix/version.h"
#include "window_palette.h"
#include "xcb_events.h"

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
  // painted. A tick repaints the time alone, which it never holds.
  QPixmapCache::setCacheLimit(0);

  // The platform's pieces, put together here and nowhere else: the on-top switch is Qt's hint,
  // and the global shortcuts come from the desktop's portal in a Wayland session (X11 grabs in
  // its XWayland never see a key pressed in a Wayland window) and from key grabs on the X server
  // in an X11 session.
  tempulix::Form1 form1(tempulix::setOnTop);
  std::unique_ptr<tempulix::PortalShortcuts> portalShortcuts;
  std::unique_ptr<tempulix::x11::KeyGrabs> keyGrabs;
  std::unique_ptr<tempulix::XcbEventFilter> keyEvents;
  if (tempulix::waylandSession()) {
    portalShortcuts =
        std::make_unique<tempulix::PortalShortcuts>(QGuiApplication::desktopFileName());
    QObject::connect(portalShortcuts.get(), &tempulix::PortalShortcuts::activated, &form1,
                     &tempulix::Form1::globalShortcut);
  } else if (xcb_connection_t* x11 = tempulix::xcbConnection()) {
    keyGrabs = std::make_unique<tempulix::x11::KeyGrabs>(
        x11, [&form1](tempulix::GlobalShortcut shortcut) { form1.globalShortcut(shortcut); });
    keyEvents = std::make_unique<tempulix::XcbEventFilter>(
        [&keyGrabs](const xcb_generic_event_t& event) { return keyGrabs->handleEvent(event); });
  }
  // The desktop's light or dark style, followed for as long as the window lives.
  const tempulix::palette::Follower palette(form1);
  form1.show();
  return QApplication::exec();
}
