// Qt's own connection to the X server, for the X11 pieces (window/x11) that work on it, and the
// events Qt reads from it shown to one of them first. On another platform there is none.
#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <functional>

namespace tempulix {

// Qt's connection; null where the platform is not xcb.
xcb_connection_t* xcbConnection();

// Hands each event of Qt's connection to a handler before Qt has it, on the GUI thread, for as
// long as it lives (Qt takes a filter out as it is destroyed). One the handler takes (returns
// true for) goes no further.
class XcbEventFilter : public QAbstractNativeEventFilter {
 public:
  explicit XcbEventFilter(std::function<bool(const xcb_generic_event_t&)> handler);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  std::function<bool(const xcb_generic_event_t&)> handler_;
};

}  // namespace tempulix
