// The stopwatch window in plain Win32: builds the label, the four buttons and the timer as
// designed, carries out the controller's window operations and delivers the window's events
// to it. It holds no stopwatch state of its own.
#pragma once

#include <windows.h>

#include <array>

#include "controller.h"
#include "handles.h"
#include "painting.h"
#include "tick_schedule.h"
#include "window_operations.h"

namespace tempulix::win32 {

class Form1 : public WindowOperations {
 public:
  // onTop is the always-on-top switch the controller calls (see topmost.h).
  Form1(HINSTANCE instance, Controller::OnTopSwitch onTop);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window (Initialize and Load run here) and shows it; false if it could not be made.
  bool show(int showCommand);

  // A global shortcut pressed, wherever the keyboard focus is: the window is not activated, and
  // the focus moves of its handler wait for the window's next activation.
  void globalShortcut(GlobalShortcut shortcut) { controller_.globalShortcut(shortcut); }

  // The message loop's part: key preview, then the dialog manager for Tab, Enter, Space and
  // access keys. True if the message has been handled and must not be dispatched again.
  bool preTranslate(MSG& message);

  // WindowOperations
  void setLabelText(std::string_view text) override;
  void setCaption(std::string_view text) override;
  void setTimerInterval(int milliseconds) override;
  void setTimerEnabled(bool enabled) override;
  bool isTimerEnabled() override;
  void setFocus(Button button) override;
  WindowHandle nativeWindowHandle() override;
  void endProgram() override;

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void createControls();
  // Fonts, places and pictures of the controls for the window's resolution (dpi_): the layout
  // is designed at 96 dpi and scaled as a whole, at start-up and whenever the resolution changes.
  void layOut();
  // Twips to pixels at the window's resolution.
  int scaled(int twips) const;
  void onTimer();
  // The stopwatch's Activate, at most once in the window's life.
  void deliverActivate();
  // The look the user chose in Windows' settings, decided again and drawn.
  void followAppearance();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  std::array<HWND, 4> buttons_{};
  int dpi_ = 96;  // of the monitor the window is on, in dots per inch
  OwnedFont timeFont_;
  OwnedFont captionFont_;
  std::array<OwnedImageList, 4> pictures_;
  Painter painter_;
  TickSchedule schedule_;
  int intervalMs_ = Controller::timerIntervalMs;
  bool timerEnabled_ = false;
  bool activated_ = false;
  // The focused button, given the focus again when the window is next activated: a button the
  // handlers move the focus to while another program's window is in front waits here.
  HWND focusToRestore_ = nullptr;
  Controller controller_;
};

}  // namespace tempulix::win32
