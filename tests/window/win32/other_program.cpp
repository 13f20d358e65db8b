// Another program beside the stopwatch, for the tests of its global shortcuts: a window of its
// own that has the keyboard while the shortcuts are pressed, and that may hold one of their keys
// first. Writes what it does and hears, one line each, to the file given (each line written out
// at once, for the test to wait on):
//
//   other_program OUTPUT window TITLE [F]
//     shows a window titled TITLE and runs until it is closed; with F, first registers
//     Ctrl+Alt+Shift+F<F> as its own hot key: "held" or "not held ERROR". Then "window" once the
//     window is shown, and "hotkey" for each press of its hot key.
//   other_program OUTPUT try F
//     registers Ctrl+Alt+Shift+F<F> and frees it again: "held" or "not held ERROR" (1409 where
//     another program holds it).
//
// Exit status 0 if the key asked for was held (or none was asked for).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t windowClass[] = L"Tempulix.Test.OtherProgram";
constexpr int hotkeyId = 1;
std::FILE* out = nullptr;

void say(const char* line) {
  std::fprintf(out, "%s\n", line);
  std::fflush(out);
}

bool hold(HWND window, int functionKey) {
  if (RegisterHotKey(window, hotkeyId, MOD_CONTROL | MOD_ALT | MOD_SHIFT,
                     static_cast<UINT>(VK_F1 + functionKey - 1))) {
    say("held");
    return true;
  }
  std::fprintf(out, "not held %lu\n", GetLastError());
  std::fflush(out);
  return false;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      say("hotkey");
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int showWindow(const wchar_t* title, int functionKey) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  info.lpfnWndProc = windowProcedure;
  info.hInstance = GetModuleHandleW(nullptr);
  info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  info.lpszClassName = windowClass;
  RegisterClassExW(&info);
  HWND window = CreateWindowExW(0, windowClass, title, WS_OVERLAPPEDWINDOW, 300, 300, 400, 200,
                                nullptr, nullptr, info.hInstance, nullptr);
  if (!window) {
    say("FAIL: no window");
    return 1;
  }
  const bool held = functionKey == 0 || hold(window, functionKey);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  say("window");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return held ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    return 2;
  }
  out = _wfopen(argv[1], L"wb");  // lines end in \n alone, for the shell
  if (!out) {
    return 2;
  }
  const std::wstring command = argv[2];
  int status = 2;
  if (command == L"window" && (argc == 4 || argc == 5)) {
    status = showWindow(argv[3], argc == 5 ? _wtoi(argv[4]) : 0);
  } else if (command == L"try" && argc == 4) {
    const bool held = hold(nullptr, _wtoi(argv[3]));
    if (held) {
      UnregisterHotKey(nullptr, hotkeyId);
    }
    status = held ? 0 : 1;
  }
  std::fclose(out);
  return status;
}
