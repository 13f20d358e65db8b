#include "session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>

#include "client_messages.h"
#include "keep_above.h"

namespace tempulix::x11 {

Session::Session(QObject* parent) : QObject(parent) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  keepAbove_ = std::make_unique<KeepAbove>(connection);
  filter_ = std::make_unique<X11MessageFilter>(
      connection, [this](const xcb_generic_event_t& event) { keepAbove_->handleEvent(event); });
  QCoreApplication::instance()->installNativeEventFilter(filter_.get());
  connect(&readerWatch_, &EventReaderWatch::ended, this, [this] {
    std::fputs(
        "tempulix: no more events come from the X server (another program sent this one a"
        " _QT_CLOSE_CONNECTION message, which stops Qt's event reader); ending\n",
        stderr);
    emit eventsStopped();
  });
}

Session::~Session() {
  QCoreApplication::instance()->removeNativeEventFilter(filter_.get());
}

void Session::setOnTop(WindowHandle& window, std::int16_t& flag) {
  keepAbove_->set(window, flag);
}

}  // namespace tempulix::x11
