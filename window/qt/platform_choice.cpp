#include "platform_choice.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QLibraryInfo>
#include <cstdlib>
#include <cstring>

namespace tempulix {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool xDisplayAnswers() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The compositor's socket as Wayland clients find it: WAYLAND_DISPLAY (by default wayland-0),
// relative to XDG_RUNTIME_DIR unless it is an absolute path.
bool waylandAnswers() {
  std::string path = environment("WAYLAND_DISPLAY");
  if (path.empty()) {
    path = "wayland-0";
  }
  if (path.front() != '/') {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (runtime.empty()) {
      return false;
    }
    path = runtime + "/" + path;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    return false;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) {
    return false;
  }
  const bool answers =
      ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(socket);
  return answers;
}

bool waylandPluginInstalled() {
  const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platforms"));
  // libqwayland-generic.so and -egl.so up to Qt 6.9; one libqwayland.so from Qt 6.10 on.
  return !platforms
              .entryList({QStringLiteral("libqwayland-*"), QStringLiteral("libqwayland.so")},
                         QDir::Files)
              .isEmpty();
}

}  // namespace

PlatformChoice choosePlatform(const DisplayProbe& probe) {
  if (probe.platformSetByUser) {
    return {true, {}, {}};
  }
  if (probe.xDisplayAnswers) {
    return {true, "xcb", {}};
  }
  if (probe.waylandAnswers && probe.waylandPluginInstalled) {
    return {true, "wayland",
            "tempulix: no X display; running on Wayland, where the window cannot be kept above "
            "other windows.\n"};
  }
  if (probe.waylandAnswers) {
    return {false,
            {},
            "tempulix: there is no X display, and Qt's Wayland support (Debian package "
            "qt6-wayland) is not installed.\n"
            "Tempulix needs an X display to stay above other windows: on a Wayland desktop, "
            "enable its XWayland.\n"};
  }
  const std::string where =
      probe.displayName.empty() ? " (DISPLAY is not set)" : " " + probe.displayName;
  return {false,
          {},
          "tempulix: cannot open the display" + where +
              ".\n"
              "Tempulix is a desktop program: run it in an X11 session, or a Wayland session "
              "with XWayland, where DISPLAY names the display.\n"
              "Without a desktop, a virtual one will do: xvfb-run tempulix\n"};
}

DisplayProbe probeDisplays() {
  DisplayProbe probe;
  probe.platformSetByUser = !environment("QT_QPA_PLATFORM").empty();
  probe.displayName = environment("DISPLAY");
  if (probe.platformSetByUser) {
    return probe;  // nothing to decide
  }
  probe.xDisplayAnswers = xDisplayAnswers();
  if (!probe.xDisplayAnswers) {
    probe.waylandAnswers = waylandAnswers();
    probe.waylandPluginInstalled = waylandPluginInstalled();
  }
  return probe;
}

}  // namespace tempulix
