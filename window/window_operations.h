// What the stopwatch controller may ask of its window. A pure interface: a window layer (Qt,
// Win32) implements it for the real window, tests implement it with a recording fake.
#pragma once

#include <string_view>

#include "on_top.h"

namespace tempulix {

// The buttons that can take the focus, in tab order.
enum class Button { command1, command2, command3, command4 };

class WindowOperations {
 public:
  virtual ~WindowOperations() = default;

  // Each acts at once. Texts are UTF-8.
  virtual void setLabelText(std::string_view text) = 0;  // l_time
  virtual void setCaption(std::string_view text) = 0;    // the title of Form1
  virtual void setTimerInterval(int milliseconds) = 0;   // Timer1's period
  // Enabled: one tick per period. Enabling an enabled timer keeps it ticking on its schedule.
  // Disabled: no further tick arrives, not even one that was already due.
  virtual void setTimerEnabled(bool enabled) = 0;
  // Whether Timer1 delivers ticks: the one place the stopwatch's running is kept.
  virtual bool isTimerEnabled() = 0;
  virtual void setFocus(Button button) = 0;
  virtual WindowHandle nativeWindowHandle() = 0;
  // Ends the whole program now: no close notification, no further event.
  virtual void endProgram() = 0;
};

}  // namespace tempulix
