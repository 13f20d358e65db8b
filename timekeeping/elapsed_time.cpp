#include "elapsed_time.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tempulix {
namespace {

// A whole-number double as a 16-bit signed integer, or nothing when it does not fit.
std::optional<std::int16_t> toInt16(double wholeNumber) {
  if (!(wholeNumber >= std::numeric_limits<std::int16_t>::min() &&
        wholeNumber <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(wholeNumber);
}

// Appends a number in decimal without leading zeros, sign only when negative.
void appendDecimal(std::string& text, long long value) {
  char digits[24];  // enough for any 64-bit value
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

std::optional<std::string> displayText(double elapsedSeconds) {
  const std::optional<std::int16_t> minutes = toInt16(std::floor(elapsedSeconds / 60.0));
  if (!minutes) {
    return std::nullopt;
  }
  // Minutes x 60 in 16-bit arithmetic: the first minute that cannot be shown is 547.
  const int product = *minutes * 60;
  if (product > std::numeric_limits<std::int16_t>::max() ||
      product < std::numeric_limits<std::int16_t>::min()) {
    return std::nullopt;
  }
  const auto minuteSeconds = static_cast<std::int16_t>(product);
  const std::optional<std::int16_t> seconds = toInt16(std::floor(elapsedSeconds - minuteSeconds));
  if (!seconds) {
    return std::nullopt;
  }
  // Exactly this order: subtract the seconds, then the minutes' seconds, then scale.
  const double tenths = std::floor(((elapsedSeconds - *seconds) - minuteSeconds) * 10.0);

  // The longest reachable text, "546:59.9", fits the string's inline buffer: no allocation.
  std::string text;
  appendDecimal(text, *minutes);
  text += ':';
  // The pad test is on the seconds' value, not on the length of their text.
  if (*seconds < 10) {
    text += '0';
  }
  appendDecimal(text, *seconds);
  text += '.';
  appendDecimal(text, static_cast<long long>(tenths));
  return text;
}

std::optional<std::string> ElapsedTime::tick() {
  // Stored before formatting, so a tick that overflows still counts.
  elapsedSeconds_ += tickStep;
  return displayText(elapsedSeconds_);
}

}  // namespace tempulix
