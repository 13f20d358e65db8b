#include "xcb_events.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <utility>

namespace tempulix {

xcb_connection_t* xcbConnection() {
  const auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

XcbEventFilter::XcbEventFilter(std::function<bool(const xcb_generic_event_t&)> handler)
    : handler_(std::move(handler)) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

bool XcbEventFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  return eventType == "xcb_generic_event_t" &&
         handler_(*static_cast<const xcb_generic_event_t*>(message));
}

}  // namespace tempulix
