// Long random sequences of every event the window can deliver, each step checked against a
// model of the state table written independently of the controller: running, focus, label,
// caption and elapsed time. The model derives its texts from the tick count and the known
// places where binary64 makes the display lag (not from the counter under test).
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "controller.h"
#include "recording_window.h"

namespace tempulix {
namespace {

using testing::RecordingWindow;

// Tenths the display shows after n ticks from a reset: n, or one fewer in these ranges.
long shownTenths(long n) {
  const long behind[][2] = {{8, 8},      {10, 12},       {46, 189},
                            {753, 3012}, {12046, 48189}, {192753, 328200}};
  for (const auto& range : behind) {
    if (n >= range[0] && n <= range[1]) return n - 1;
  }
  return n;
}
std::string textFor(long n) {
  const long tenths = shownTenths(n);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

struct Model {
  bool running = false;
  Button focus = Button::command1;
  std::string label = "   0:00.0";
  std::string caption = "Tempulix - by tempulix.example";
  long ticks = 0;      // since the last reset
  double elapsed = 0;  // the sum of ticks' steps, in seconds
  int onTopCalls = 0;
  int overflows = 0;

  void start() {
    running = true;
    focus = Button::command2;
  }
  void stop() {
    running = false;
    focus = Button::command1;
  }
  void reset() {
    stop();
    ticks = 0;
    elapsed = 0;
    label = "0:00.0";
  }
  void tick() {
    if (!running) return;  // a disabled timer delivers nothing
    ++ticks;
    elapsed += 0.1;
    if (ticks > 328200) {  // minute 547 cannot be shown: stop, texts untouched
      ++overflows;
      stop();
      return;
    }
    label = textFor(ticks);
    caption = label + " - Tempulix tempulix.example";
  }
};

TEST(EventStormTest, RandomSequencesFollowTheStateTable) {
  constexpr int sequences = 24;
  constexpr int steps = 3000;
  int overflows = 0;
  for (unsigned seed = 1; seed <= sequences; ++seed) {
    std::mt19937 random(seed);
    RecordingWindow window;
    int onTopCalls = 0;
    Controller controller(window, [&](WindowHandle&, std::int16_t&) { ++onTopCalls; });
    Model model;
    controller.formInitialize();
    controller.formLoad();
    controller.formActivate();
    model.onTopCalls = 1;

    for (int step = 0; step < steps; ++step) {
      const int shift = static_cast<int>(random() % 8);
      const int action = static_cast<int>(random() % 12);
      // A run to the last minute is rare; it takes 328201 ticks.
      const bool toTheEnd = action == 10 && random() % 64 == 0;
      switch (action) {
        case 0:
          controller.command1Click();
          model.start();
          break;
        case 1:
          controller.command2Click();
          model.stop();
          break;
        case 2:
          controller.command3Click();
          model.reset();
          break;
        case 3:
          controller.formKeyDown(keyS, shift);
          model.start();
          break;
        case 4:
          controller.formKeyDown(keyT, shift);
          model.stop();
          break;
        case 5:
          controller.formKeyDown(keyR, shift);
          model.reset();
          break;
        case 6:
          controller.formKeyDown(static_cast<int>(random() % 256) | 0x100, shift);
          break;
        case 7: {
          std::int16_t cancel = 0;
          controller.formUnload(cancel);
          ++model.onTopCalls;
          break;
        }
        case 8:
          controller.formActivate();
          model.focus = Button::command1;
          ++model.onTopCalls;
          break;
        default: {
          // Mostly single ticks, sometimes a long run, sometimes one past the last minute.
          long count = action == 9 ? static_cast<long>(random() % 2000) : 1;
          if (toTheEnd) count = 328201 - model.ticks;
          for (long i = 0; i < count && window.timerEnabled; ++i) {
            controller.timer1Timer();
            model.tick();
          }
          break;
        }
      }
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_EQ(window.timerEnabled, model.running) << where;
      ASSERT_EQ(window.focus, model.focus) << where;
      ASSERT_EQ(window.label, model.label) << where;
      ASSERT_EQ(window.caption, model.caption) << where;
      ASSERT_EQ(controller.elapsedSeconds(), model.elapsed) << where;
      ASSERT_EQ(onTopCalls, model.onTopCalls) << where;
      ASSERT_EQ(window.endCalls, 0) << where;
    }
    overflows += model.overflows;
  }
  EXPECT_GT(overflows, 2) << "the storms should cross the last minute now and then";
}

}  // namespace
}  // namespace tempulix
