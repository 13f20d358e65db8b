// The stopwatch's event logic: turns clicks, keys and timer ticks into running, stopping and
// resetting, and writes the time to the window. It owns the elapsed time; whether the stopwatch
// runs is nothing but the timer's enabled state. It reaches the window only through
// WindowOperations, so it runs without one.
#pragma once

#include <cstdint>
#include <functional>

#include "elapsed_time.h"
#include "global_shortcuts.h"
#include "on_top.h"
#include "window_operations.h"

namespace tempulix {

// Key codes as the window layers deliver them: the upper-case letter's code, which is both the
// Windows virtual-key code and Qt's key code.
inline constexpr int keyS = 'S';
inline constexpr int keyT = 'T';
inline constexpr int keyR = 'R';

// Shift state bits delivered with a key. The controller never looks at them.
inline constexpr int shiftMask = 1;
inline constexpr int ctrlMask = 2;
inline constexpr int altMask = 4;

class Controller {
 public:
  using OnTopSwitch = std::function<void(WindowHandle&, std::int16_t&)>;

  static constexpr int timerIntervalMs = 100;
  // Written to the label on reset; the window starts with its own, space-padded text.
  static constexpr std::string_view resetLabelText = "0:00.0";

  // The window must outlive the controller. onTop is the window layer's always-on-top switch
  // (see on_top.h), given here so that tests can watch it; empty, none is called.
  Controller(WindowOperations& window, OnTopSwitch onTop);

  // One handler per event, named after the control and event that raise it.
  void formInitialize() {}
  void formLoad();
  void formActivate();
  void command1Click();  // Start
  void command2Click();  // Stop
  void command3Click();  // Reset
  void command4Click();  // Exit
  void timer1Timer();    // Tick
  // Runs Start, Stop or Reset for S, T or R whatever the shift state; the key is not consumed.
  void formKeyDown(int keyCode, int shift);
  // The close always goes ahead: cancel is left as delivered.
  void formUnload(std::int16_t& cancel);
  // The global shortcuts, pressed while any program has the keyboard. Start or stop runs the
  // Start click handler when stopped and the Stop click handler when running; reset runs the
  // Reset click handler. Their focus moves are the window layer's to keep within its window.
  void shortcutStartOrStop();
  void shortcutReset();
  // Either of them, as a window layer hears of a press.
  void globalShortcut(GlobalShortcut shortcut);

  // In seconds.
  double elapsedSeconds() const noexcept { return elapsed_.elapsedSeconds(); }

 private:
  void switchOnTop(std::int16_t flag);

  WindowOperations& window_;
  OnTopSwitch onTop_;
  ElapsedTime elapsed_;
};

}  // namespace tempulix
