#include "session_type.h"

#include <cstdlib>

namespace tempulix {

bool isWaylandSession(std::string_view sessionType, std::string_view waylandDisplay) {
  if (sessionType == "wayland") {
    return true;
  }
  if (sessionType == "x11") {
    return false;
  }
  return !waylandDisplay.empty();
}

bool waylandSession() {
  const char* sessionType = std::getenv("XDG_SESSION_TYPE");
  const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  return isWaylandSession(sessionType ? sessionType : "", waylandDisplay ? waylandDisplay : "");
}

}  // namespace tempulix
