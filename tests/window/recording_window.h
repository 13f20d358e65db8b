// A window that only remembers: the last texts, the timer's state, the focus, how often each
// operation ran and in what order. Lets the controller be driven without any toolkit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "window_operations.h"

namespace tempulix::testing {

class RecordingWindow : public WindowOperations {
 public:
  static constexpr WindowHandle handle = 0x2a0001;

  void setLabelText(std::string_view text) override {
    label = text;
    ++labelWrites;
    log.push_back("label");
  }
  void setCaption(std::string_view text) override {
    caption = text;
    ++captionWrites;
    log.push_back("caption");
  }
  void setTimerInterval(int milliseconds) override {
    interval = milliseconds;
    log.push_back("interval");
  }
  void setTimerEnabled(bool enabled) override {
    timerEnabled = enabled;
    log.push_back(enabled ? "timer on" : "timer off");
  }
  bool isTimerEnabled() override { return timerEnabled; }
  void setFocus(Button button) override {
    focus = button;
    log.push_back("focus");
  }
  WindowHandle nativeWindowHandle() override {
    ++handleReads;
    return handle;
  }
  void endProgram() override {
    ++endCalls;
    log.push_back("end");
  }

  std::string label = "   0:00.0";
  std::string caption = "Tempulix - by tempulix.example";
  int labelWrites = 0;
  int captionWrites = 0;
  std::optional<int> interval;
  bool timerEnabled = true;  // as if left running, so that Load must really disable it
  std::optional<Button> focus;
  int handleReads = 0;
  int endCalls = 0;
  std::vector<std::string> log;
};

// Keeps only what a window shows, nothing per call, so that long runs measure the controller's
// own memory. Assigning into the kept strings reuses their storage.
class KeepingWindow : public WindowOperations {
 public:
  void setLabelText(std::string_view text) override { label = text; }
  void setCaption(std::string_view text) override { caption = text; }
  void setTimerInterval(int) override {}
  void setTimerEnabled(bool enabled) override { running = enabled; }
  bool isTimerEnabled() override { return running; }
  void setFocus(Button) override {}
  WindowHandle nativeWindowHandle() override { return 1; }
  void endProgram() override {}

  std::string label, caption;
  bool running = false;
};

// Each call of the always-on-top switch: the handle and flag it was given.
struct OnTopCall {
  WindowHandle handle;
  std::int16_t flag;
  bool operator==(const OnTopCall&) const = default;
};

}  // namespace tempulix::testing
