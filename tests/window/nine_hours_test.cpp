// Nine hours and seven minutes of ticks in a few seconds: through the last minute, the
// overflow and on (Start again, Reset, run again), counting the heap as it goes. Memory must
// stay flat; run under the sanitizers and valgrind, nothing may leak.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <string>

#include "controller.h"
#include "recording_window.h"

namespace {
// Bytes the C heap holds in use (glibc). The sanitizers and valgrind keep their own books, and
// there it is their leak checks that count: under valgrind (which from 3.2x on answers mallinfo2
// with blocks it holds back after they are freed) this gives 0.
std::size_t heapInUse() {
  static const bool ownBooks = std::getenv("TEMPULIX_UNDER_VALGRIND") != nullptr;
  return ownBooks ? 0 : mallinfo2().uordblks;
}
}  // namespace

namespace tempulix {
namespace {

using testing::KeepingWindow;

TEST(NineHoursTest, ToTheOverflowAndOnWithFlatMemory) {
  KeepingWindow window;
  window.label.reserve(64);
  window.caption.reserve(64);
  Controller controller(window, nullptr);
  controller.formLoad();
  controller.command1Click();
  auto run = [&](long ticks) {
    for (long i = 0; i < ticks && window.running; ++i) controller.timer1Timer();
  };

  run(1000);
  const std::size_t settled = heapInUse();
  run(328200 - 1000);
  EXPECT_EQ(window.label, "546:59.9");
  EXPECT_EQ(heapInUse(), settled) << "memory kept across nine hours of ticks";

  run(1);  // minute 547: stops, texts kept
  EXPECT_FALSE(window.running);
  EXPECT_EQ(window.caption, "546:59.9 - Tempulix tempulix.example");
  controller.command1Click();
  run(10);
  EXPECT_FALSE(window.running) << "stops again at its first tick";
  controller.command3Click();
  controller.command1Click();
  run(36001);
  EXPECT_EQ(window.label, "60:00.0");
  EXPECT_EQ(heapInUse(), settled);
}

}  // namespace
}  // namespace tempulix
