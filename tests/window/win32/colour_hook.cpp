// A message hook that window_client places in the stopwatch's own process, where it sets the
// system's window colour on being asked. On Windows the system colours are one for every
// program, so a change made anywhere reaches the stopwatch; Wine keeps a copy in each process,
// and only a change made inside the stopwatch's own shows there. The request is a registered
// message whose wParam is the new colour (a COLORREF).
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    setColourHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT setColour = RegisterWindowMessageW(L"Tempulix test: set the window colour");
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == setColour) {
    const INT element = COLOR_WINDOW;
    const auto colour = static_cast<COLORREF>(message->wParam);
    SetSysColors(1, &element, &colour);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
