// The Linux program: one stopwatch window in Qt Widgets.
#include <QApplication>
#include <QPixmapCache>
#include <cstdio>
#include <memory>

#include "character_type.h"
#include "colour_scheme.h"
#include "form1.h"
#include "platform_choice.h"
#include "portal_shortcuts.h"
#include "qt_messages.h"
#include "session_type.h"
#include "tempulix/version.h"

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

  tempulix::Form1 form1;
  // The desktop's light or dark style, followed for as long as the window lives.
  const tempulix::colours::Follower colours(form1);
  // Global shortcuts in a Wayland session, from the desktop's portal: the X11 grabs of its
  // XWayland never see a key pressed in a Wayland window.
  std::unique_ptr<tempulix::PortalShortcuts> portalShortcuts;
  if (tempulix::waylandSession()) {
    portalShortcuts =
        std::make_unique<tempulix::PortalShortcuts>(QGuiApplication::desktopFileName());
    QObject::connect(portalShortcuts.get(), &tempulix::PortalShortcuts::activated, &form1,
                     &tempulix::Form1::globalShortcut);
  }
  form1.show();
  return QApplication::exec();
}
