#include "controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "recording_window.h"

namespace tempulix {
namespace {

using testing::OnTopCall;
using testing::RecordingWindow;

const std::string title = " - Tempulix tempulix.example";

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest()
      : controller(window, [this](WindowHandle& handle, std::int16_t& flag) {
          onTopCalls.push_back({handle, flag});
          flag = 1;  // the switch writes back; the controller must not care
        }) {}

  void startUp() {
    controller.formInitialize();
    controller.formLoad();
    controller.formActivate();
  }
  // A tick arrives only while the timer is enabled, as from a real timer.
  void ticks(long count) {
    for (long i = 0; i < count && window.timerEnabled; ++i) {
      controller.timer1Timer();
    }
  }

  RecordingWindow window;
  std::vector<OnTopCall> onTopCalls;
  Controller controller;
};

TEST_F(ControllerTest, StartUpSetsTimerFocusAndOnTopButNoTexts) {
  startUp();
  EXPECT_EQ(window.interval, 100);
  EXPECT_FALSE(window.timerEnabled);
  EXPECT_EQ(window.focus, Button::command1);
  EXPECT_EQ(onTopCalls, (std::vector<OnTopCall>{{RecordingWindow::handle, flagTrue}}));
  EXPECT_EQ(window.labelWrites, 0);
  EXPECT_EQ(window.captionWrites, 0);
  EXPECT_EQ(controller.elapsedSeconds(), 0.0);
}

// Every row of the state table, for the click and for its key.
TEST_F(ControllerTest, StateTable) {
  enum Action { start, stop, reset };
  const struct Row {
    const char* name;
    bool running;
    Action action;
    bool runningAfter;
    Button focusAfter;
    bool zeroed;  // elapsed 0.0 and label "0:00.0"
  } rows[] = {
      {"stopped start", false, start, true, Button::command2, false},
      {"stopped stop", false, stop, false, Button::command1, false},
      {"stopped reset", false, reset, false, Button::command1, true},
      {"running start", true, start, true, Button::command2, false},
      {"running stop", true, stop, false, Button::command1, false},
      {"running reset", true, reset, false, Button::command1, true},
  };
  const int keys[] = {keyS, keyT, keyR};
  for (const Row& row : rows) {
    for (const bool byKey : {false, true}) {
      RecordingWindow w;
      Controller c(w, nullptr);
      c.formLoad();
      c.command1Click();
      for (int i = 0; i < 5; ++i) c.timer1Timer();
      if (!row.running) c.command2Click();
      const std::string label = w.label;
      const double elapsed = c.elapsedSeconds();

      if (byKey) {
        c.formKeyDown(keys[row.action], 0);
      } else {
        const std::function<void()> clicks[] = {
            [&] { c.command1Click(); }, [&] { c.command2Click(); }, [&] { c.command3Click(); }};
        clicks[row.action]();
      }
      const std::string what = std::string(row.name) + (byKey ? " by key" : " by click");
      EXPECT_EQ(w.timerEnabled, row.runningAfter) << what;
      EXPECT_EQ(w.focus, row.focusAfter) << what;
      EXPECT_EQ(w.label, row.zeroed ? "0:00.0" : label) << what;
      EXPECT_EQ(c.elapsedSeconds(), row.zeroed ? 0.0 : elapsed) << what;
      EXPECT_EQ(w.caption, "0:00.5" + title) << what << ": the caption keeps the last time";
    }
  }
}

// A global shortcut does exactly what the click it stands for does, as the stopwatch stands:
// the same window operations in the same order, from the same state.
TEST_F(ControllerTest, ShortcutsRunTheClickHandlerOfTheState) {
  using enum GlobalShortcut;
  const struct Row {
    const char* name;
    bool running;
    GlobalShortcut shortcut;
    void (Controller::*click)();
  } rows[] = {
      {"stopped start-or-stop is Start", false, startOrStop, &Controller::command1Click},
      {"running start-or-stop is Stop", true, startOrStop, &Controller::command2Click},
      {"stopped reset is Reset", false, reset, &Controller::command3Click},
      {"running reset is Reset", true, reset, &Controller::command3Click},
  };
  for (const Row& row : rows) {
    RecordingWindow byShortcut, byClick;
    Controller viaShortcut(byShortcut, nullptr), viaClick(byClick, nullptr);
    for (Controller* c : {&viaShortcut, &viaClick}) {
      c->formLoad();
      c->command1Click();
      for (int i = 0; i < 3; ++i) c->timer1Timer();
      if (!row.running) c->command2Click();
    }
    byShortcut.log.clear();
    byClick.log.clear();
    viaShortcut.globalShortcut(row.shortcut);
    (viaClick.*row.click)();
    EXPECT_EQ(byShortcut.log, byClick.log) << row.name;
    EXPECT_EQ(byShortcut.timerEnabled, byClick.timerEnabled) << row.name;
    EXPECT_EQ(byShortcut.focus, byClick.focus) << row.name;
    EXPECT_EQ(byShortcut.label, byClick.label) << row.name;
    EXPECT_EQ(viaShortcut.elapsedSeconds(), viaClick.elapsedSeconds()) << row.name;
  }
}

TEST_F(ControllerTest, TickWritesLabelThenCaption) {
  startUp();
  controller.command1Click();
  window.log.clear();
  ticks(1);
  EXPECT_EQ(window.log, (std::vector<std::string>{"label", "caption"}));
  EXPECT_EQ(window.label, "0:00.1");
  EXPECT_EQ(window.caption, "0:00.1" + title);
}

TEST_F(ControllerTest, StartAfterStopContinuesFromTheHeldTime) {
  startUp();
  controller.command1Click();
  ticks(3);
  controller.command2Click();
  EXPECT_EQ(window.label, "0:00.3");
  EXPECT_EQ(window.caption, "0:00.3" + title);
  controller.command1Click();
  ticks(1);
  EXPECT_EQ(window.label, "0:00.4");
  EXPECT_EQ(window.caption, "0:00.4" + title);
}

TEST_F(ControllerTest, ResetWhileRunningStopsTicksAndKeepsTheCaption) {
  startUp();
  controller.command1Click();
  ticks(12);
  controller.command3Click();
  ticks(10);
  EXPECT_EQ(window.label, "0:00.0");
  EXPECT_EQ(window.caption, "0:01.1" + title);
  EXPECT_EQ(window.captionWrites, 12);
}

TEST_F(ControllerTest, KeysIgnoreShiftStateAndOtherKeysDoNothing) {
  const int shifts[] = {0, shiftMask, ctrlMask, altMask, shiftMask | ctrlMask | altMask};
  for (const int shift : shifts) {
    RecordingWindow w;
    Controller c(w, nullptr);
    c.formLoad();
    c.formKeyDown(keyS, shift);
    EXPECT_TRUE(w.timerEnabled) << "S with shift " << shift;
    EXPECT_EQ(w.focus, Button::command2);
    c.formKeyDown(keyT, shift);
    EXPECT_FALSE(w.timerEnabled) << "T with shift " << shift;
    EXPECT_EQ(w.focus, Button::command1);
    c.command1Click();
    c.timer1Timer();
    c.formKeyDown(keyR, shift);
    EXPECT_FALSE(w.timerEnabled) << "R with shift " << shift;
    EXPECT_EQ(w.label, "0:00.0") << "R with shift " << shift;
    EXPECT_EQ(c.elapsedSeconds(), 0.0);
  }
  // Lower-case letter codes, neighbours, Space, Enter, Escape, F1, nothing at all.
  const int others[] = {'s', 't', 'r', 'Q', 'U', ' ', 0x0d, 0x1b, 0x70, 0, -1};
  for (const int key : others) {
    RecordingWindow w;
    Controller c(w, nullptr);
    c.formKeyDown(key, 0);
    EXPECT_TRUE(w.log.empty()) << "key " << key;
  }
}

TEST_F(ControllerTest, ExitEndsAtOnceWithoutTheCloseHandler) {
  startUp();
  controller.command4Click();
  EXPECT_EQ(window.endCalls, 1);
  EXPECT_EQ(onTopCalls.size(), 1u) << "only the one from Activate";
}

TEST_F(ControllerTest, CloseTurnsOnTopOffAndLetsTheCloseGoAhead) {
  startUp();
  for (const std::int16_t delivered : {std::int16_t{0}, std::int16_t{1}}) {
    std::int16_t cancel = delivered;
    controller.formUnload(cancel);
    EXPECT_EQ(cancel, delivered);
    EXPECT_EQ(onTopCalls.back(), (OnTopCall{RecordingWindow::handle, flagFalse}));
  }
  EXPECT_EQ(window.endCalls, 0);
}

// Past minute 546 there is no text: the controller stops as Stop does instead of failing on
// every tick; Start fails again at its first tick, Reset starts over.
TEST_F(ControllerTest, MinuteOverflowStopsTheStopwatch) {
  startUp();
  controller.command1Click();
  ticks(328200);
  ASSERT_EQ(window.label, "546:59.9");
  ASSERT_TRUE(window.timerEnabled);

  controller.command1Click();
  ticks(1);
  EXPECT_FALSE(window.timerEnabled);
  EXPECT_EQ(window.focus, Button::command1);
  EXPECT_EQ(window.label, "546:59.9");
  EXPECT_EQ(window.caption, "546:59.9" + title);
  EXPECT_EQ(window.labelWrites, 328200);
  EXPECT_EQ(window.captionWrites, 328200);
  EXPECT_EQ(controller.elapsedSeconds(), 32820.0999998029) << "the tick still counted";

  const double held = controller.elapsedSeconds();
  controller.command1Click();
  ticks(5);
  EXPECT_FALSE(window.timerEnabled) << "stopped again at the first tick";
  EXPECT_EQ(controller.elapsedSeconds(), held + 0.1);
  EXPECT_EQ(window.labelWrites, 328200);

  controller.command3Click();
  EXPECT_EQ(window.label, "0:00.0");
  controller.command1Click();
  ticks(1);
  EXPECT_EQ(window.label, "0:00.1");
  EXPECT_EQ(window.caption, "0:00.1" + title);
}

}  // namespace
}  // namespace tempulix
