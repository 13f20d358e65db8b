// The stopwatch's elapsed time: a sum of 100 ms ticks in double precision, and the M:SS.t text
// derived from it. It never reads a clock and knows nothing of windows or timers.
#pragma once

#include <optional>
#include <string>

namespace tempulix {

// Display text for an elapsed time in seconds: minutes ":" two-digit seconds "." tenths, every
// field cut down (floor), minutes unpadded and without an hours field ("0:05.3", "60:00.0").
// The minute fields are 16-bit signed as the display has always had them: from minute 547
// (about 9 h 7 min) minutes x 60 no longer fits and there is no text (std::nullopt).
// The arithmetic is IEEE binary64 in a fixed order; this file must be built without
// floating-point contraction or extended precision, or the tenths shown change.
[[nodiscard]] std::optional<std::string> displayText(double elapsedSeconds);

class ElapsedTime {
 public:
  // The double nearest 0.1 (bit pattern 0x3FB999999999999A), in seconds, added once per tick.
  static constexpr double tickStep = 0.1;

  // Back to 0.0. Produces no text: the caller shows its own.
  void reset() noexcept { elapsedSeconds_ = 0.0; }

  // Advances by one step, then returns the display text of the new value. On overflow
  // (see displayText) the counter has advanced all the same and no text is returned; the
  // caller decides what to do, nothing is thrown.
  [[nodiscard]] std::optional<std::string> tick();

  // In seconds; 0.0 after construction and reset, otherwise only ever grows.
  double elapsedSeconds() const noexcept { return elapsedSeconds_; }

 private:
  double elapsedSeconds_ = 0.0;
};

}  // namespace tempulix
