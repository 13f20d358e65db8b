#include "session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>

#include "client_messages.h"
#include "keep_above.h"
#include "key_grabs.h"

namespace tempulix::x11 {

namespace {

xcb_connection_t* qtConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

}  // namespace

Session::Session(QObject* parent)
    : QObject(parent),
      connection_(qtConnection()),
      keepAbove_(std::make_unique<KeepAbove>(connection_)) {
  filter_ =
      std::make_unique<X11MessageFilter>(connection_, [this](const xcb_generic_event_t& event) {
        keepAbove_->handleEvent(event);
        return keyGrabs_ && keyGrabs_->handleEvent(event);
      });
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

void Session::grabGlobalShortcuts() {
  if (!keyGrabs_) {
    keyGrabs_ = std::make_unique<KeyGrabs>(
        connection_, [this](GlobalShortcut shortcut) { emit globalShortcutPressed(shortcut); });
  }
}

void Session::setOnTop(WindowHandle& window, std::int16_t& flag) {
  keepAbove_->set(window, flag);
}

}  // namespace tempulix::x11
