// The stopwatch window as designed: each control's place and size in twips and its texts. Shared
// by every window layer, which converts twips to its own pixels; nothing here draws anything.
#pragma once

#include <string_view>

namespace tempulix::form1 {

// 1/1440 inch: 15 twips make one pixel at 96 dots per inch.
inline constexpr int twipsPerPixel = 15;
constexpr int pixels(int twips) {
  return twips / twipsPerPixel;
}

struct Box {
  int left, top, width, height;  // in twips, relative to the client area
};

inline constexpr int clientWidth = 4770;   // 318 px
inline constexpr int clientHeight = 2070;  // 138 px

inline constexpr Box timeLabelBox{120, 240, 4455, 855};
inline constexpr Box command1Box{120, 1200, 1095, 735};
inline constexpr Box command2Box{1440, 1200, 1095, 735};
inline constexpr Box command3Box{2760, 1200, 1095, 735};
inline constexpr Box command4Box{4080, 1320, 495, 495};

// Design-time label text: three spaces keep the nine-character width of the box.
inline constexpr std::string_view timeLabelText = "   0:00.0";
// "&" marks the access key, drawn underlined.
inline constexpr std::string_view command1Text = "&Start";
inline constexpr std::string_view command2Text = "S&top";
inline constexpr std::string_view command3Text = "&Reset";

// The time label's font: 41.25 pt at 96 dpi, regular weight.
inline constexpr std::string_view timeFontFace = "Lucida Console";
inline constexpr int timeFontPixels = 55;

}  // namespace tempulix::form1
