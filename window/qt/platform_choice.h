// Which of Qt's platforms the stopwatch opens its window on, decided before Qt starts: X11 (on
// Wayland desktops their XWayland), since Wayland lets no window stay on top; native Wayland only
// where no X display answers; a platform named in QT_QPA_PLATFORM always. The decision is plain
// data, apart from the probes that feed it.
#pragma once

#include <string>

namespace tempulix {

// What the environment offers, as found by probeDisplays().
struct DisplayProbe {
  bool platformSetByUser = false;       // QT_QPA_PLATFORM is set and not empty
  std::string displayName;              // DISPLAY, empty if not set
  bool xDisplayAnswers = false;         // an X server accepted a connection
  bool waylandAnswers = false;          // a Wayland compositor's socket accepted a connection
  bool waylandPluginInstalled = false;  // Qt's Wayland platform plugin is there
};

struct PlatformChoice {
  bool canRun = false;
  std::string platform;  // for QT_QPA_PLATFORM; empty: leave it as it is
  std::string message;   // to say once on standard error; empty: say nothing
};

PlatformChoice choosePlatform(const DisplayProbe& probe);

// Reads the environment and tries each display once (a connection opened and closed).
DisplayProbe probeDisplays();

}  // namespace tempulix
