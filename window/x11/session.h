// The program among the other clients of its X server, on Qt's own connection to it: the on-top
// switch (KeepAbove), which follows the window managers that come and go; the filter that keeps
// other clients' hostile or unknown client messages from Qt (client_messages.h); and the watch on
// Qt's event reader, which another client can stop (event_reader_watch.h). Made on the xcb platform
// only, by whoever puts the program together; it does nothing on its own but follow events.
#pragma once

#include <xcb/xcb.h>

#include <QObject>
#include <memory>

#include "event_reader_watch.h"
#include "global_shortcuts.h"
#include "on_top.h"

namespace tempulix::x11 {

class KeepAbove;
class KeyGrabs;
class X11MessageFilter;

class Session : public QObject {
  Q_OBJECT

 public:
  // Call with the application made, on the xcb platform.
  explicit Session(QObject* parent = nullptr);
  ~Session() override;

  // The controller's on-top switch (see on_top.h).
  void setOnTop(WindowHandle& window, std::int16_t& flag);

  // Grabs the global shortcuts' keys on the X server: for an X11 session, where every program's
  // keys go through the server (not for XWayland, which sees none of the Wayland windows').
  void grabGlobalShortcuts();

 signals:
  // No more events come from the X server: no key, click or close request can reach the
  // program. Said once on standard error first.
  void eventsStopped();
  // A global shortcut was pressed, in whatever window has the keyboard focus.
  void globalShortcutPressed(tempulix::GlobalShortcut shortcut);

 private:
  xcb_connection_t* connection_;
  std::unique_ptr<KeepAbove> keepAbove_;
  std::unique_ptr<KeyGrabs> keyGrabs_;
  std::unique_ptr<X11MessageFilter> filter_;
  EventReaderWatch readerWatch_;
};

}  // namespace tempulix::x11
