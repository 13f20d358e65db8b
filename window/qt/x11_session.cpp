#include "x11_session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>

#include "on_top_x11.h"
#include "x11_messages.h"

namespace tempulix::x11 {
namespace {

// The root window of the screen the program's display names.
xcb_window_t rootOf(xcb_connection_t* connection) {
  int screen = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
    screen = 0;
  }
  std::free(host);
  xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen && roots.rem > 1; ++i) {
    xcb_screen_next(&roots);
  }
  return roots.rem > 0 ? roots.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

}  // namespace

Session::Session(QObject* parent) : QObject(parent) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (connection) {
    onTop_ = std::make_unique<OnTop>(connection, rootOf(connection));
  }
  filter_ =
      std::make_unique<X11MessageFilter>(connection, [this](const xcb_generic_event_t& event) {
        if (onTop_) {
          onTop_->handleEvent(event);
        }
      });
  QCoreApplication::instance()->installNativeEventFilter(filter_.get());
  connect(&readerWatch_, &EventReaderWatch::ended, this, &Session::eventsStopped);
}

Session::~Session() {
  QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
}

void Session::setOnTop(WindowHandle& window, std::int16_t& flag) {
  if (onTop_) {
    onTop_->set(window, flag);
  } else {
    flag = 0;
  }
}

}  // namespace tempulix::x11
