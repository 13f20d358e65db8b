#include "stay_on_top_hint.h"

#include <QGuiApplication>
#include <QWindow>

namespace tempulix {

void setOnTop(WindowHandle& window, std::int16_t& flag) {
  const bool above = flag == flagTrue;
  flag = 0;
  for (QWindow* topLevel : QGuiApplication::topLevelWindows()) {
    if (topLevel->handle() && topLevel->winId() == window) {
      // A window that is shown gets the state through a request to the window manager.
      topLevel->setFlag(Qt::WindowStaysOnTopHint, above);
      flag = 1;
      return;
    }
  }
}

}  // namespace tempulix
