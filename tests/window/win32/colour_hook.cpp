// A message hook that window_client places in the stopwatch's own process, where it sets system
// colours on being asked (colour_hook.h). On Windows the system colours are one for every
// program, so a change made anywhere reaches the stopwatch; Wine keeps a copy in each process,
// and only a change made inside the stopwatch's own shows there. The colours of one change are
// set together, as the Control Panel sets a theme's.
#include "colour_hook.h"

#include <vector>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    setColourHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT setColours = RegisterWindowMessageW(L"Tempulix test: set system colours");
  static std::vector<INT> elements;
  static std::vector<COLORREF> colours;
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == setColours) {
    elements.push_back(static_cast<INT>(message->lParam & (colourHookLast - 1)));
    colours.push_back(static_cast<COLORREF>(message->wParam));
    if (message->lParam & colourHookLast) {
      SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
      elements.clear();
      colours.clear();
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
