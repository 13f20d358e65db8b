// When the next tick of a periodic timer is due, on deadlines fixed at whole periods from its
// start. A timer that is re-armed with the full period after each late wake-up runs slow by its
// lateness (on Windows about 9 ms of every 100, the system timer's granularity); measured from
// fixed deadlines the lateness does not add up. It only schedules: the ticks are still counted.
#pragma once

#include <cstdint>

namespace tempulix {

class TickSchedule {
 public:
  // All times in microseconds on one monotonic clock.
  void start(std::int64_t now, std::int64_t period) {
    period_ = period;
    deadline_ = now + period;
  }

  // On a wake-up: true if a tick is due now, and the deadline moves on. Periods missed entirely
  // (the machine was suspended, the loop was blocked) are merged into this one tick, not
  // replayed, and the deadlines keep their phase.
  bool due(std::int64_t now) {
    if (period_ <= 0 || now < deadline_) {
      return false;
    }
    deadline_ += period_ * ((now - deadline_) / period_ + 1);
    return true;
  }

  // Time left until the next deadline; positive after due() has returned.
  std::int64_t remaining(std::int64_t now) const { return deadline_ - now; }

 private:
  std::int64_t period_ = 0;
  std::int64_t deadline_ = 0;
};

}  // namespace tempulix
