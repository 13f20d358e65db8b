// Does to the running stopwatch window, from another process, what Windows does when the
// window's monitor changes resolution or the user changes the system colours, and reads back
// what the window made of it. Writes its findings, one line each, to the file given:
//
//   window_client OUTPUT dpi FROM TO
//     sends WM_DPICHANGED for TO dots per inch with the rectangle Windows would suggest (the
//     window's rectangle scaled by TO / FROM), then reads the window's and each control's
//     rectangle: "window BEFORE AFTER SUGGESTED", "client BEFORE AFTER", "NAME BEFORE AFTER
//     EXPECTED" for l_time and Command1 to Command4, each rectangle as LEFT,TOP,WIDTHxHEIGHT
//     (controls in client coordinates), then "ok" or "FAIL: ..." lines.
//   window_client OUTPUT window-colour RRGGBB
//     sets the system's window colour (COLOR_WINDOW) as the Control Panel does, from inside the
//     stopwatch's process (see colour_hook.cpp, beside this program); "was RRGGBB".
//   window_client OUTPUT colours ELEMENT=RRGGBB...
//     the same for each system colour given by its number (COLOR_BTNFACE is 15), in one
//     change; "was ELEMENT=RRGGBB" for each.
//   window_client OUTPUT settings-changed AREA
//     tells every top-level window that a setting changed, as Windows does when the user
//     chooses another app mode (AREA "ImmersiveColorSet"): WM_SETTINGCHANGE, sent.
//   window_client OUTPUT focus
//     reads which window is in front and where the stopwatch's thread keeps its focus:
//     "foreground TITLE" (the foreground window's title, empty for none), "active yes|no"
//     (whether the stopwatch is its thread's active window) and "focus NAME" (Command1 to
//     Command4 for a button, "window" for the window itself, "none").
//
// Exit status 0 if everything was found and matched.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "colour_hook.h"
#include "form1_layout.h"

namespace {

constexpr wchar_t windowClass[] = L"Tempulix.Form1";
constexpr int firstButtonId = 101;

std::string text(const RECT& rect) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%ld,%ld,%ldx%ld", rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top);
  return buffer;
}

RECT inClient(HWND control, HWND parent) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT scaledBox(const tempulix::form1::Box& box, int dpi) {
  const auto scale = [dpi](int twips) { return MulDiv(tempulix::form1::pixels(twips), dpi, 96); };
  const int left = scale(box.left), top = scale(box.top);
  return {left, top, left + scale(box.width), top + scale(box.height)};
}

bool same(const RECT& a, const RECT& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Control {
  const char* name;
  HWND window;
  tempulix::form1::Box box;
};

// WM_DPICHANGED carries a pointer to the suggested rectangle. The system sends it from within
// the window's own process, and nothing carries the rectangle over from another (Wine has no
// rule for this message), so it is written into the window's process.
bool sendDpiChanged(HWND window, int dpi, const RECT& suggested) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) {
    return false;
  }
  void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
  bool sent = false;
  if (remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
    DWORD_PTR result = 0;
    sent = SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                               reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                               &result) != 0;
  }
  if (remote) {
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return sent;
}

int changeDpi(std::FILE* out, HWND window, int from, int to) {
  using namespace tempulix::form1;
  const Control controls[] = {
      {"l_time", FindWindowExW(window, nullptr, L"STATIC", nullptr), timeLabelBox},
      {"Command1", GetDlgItem(window, firstButtonId), command1Box},
      {"Command2", GetDlgItem(window, firstButtonId + 1), command2Box},
      {"Command3", GetDlgItem(window, firstButtonId + 2), command3Box},
      {"Command4", GetDlgItem(window, firstButtonId + 3), command4Box},
  };
  RECT windowBefore, clientBefore, before[5];
  GetWindowRect(window, &windowBefore);
  GetClientRect(window, &clientBefore);
  for (int i = 0; i < 5; ++i) {
    before[i] = inClient(controls[i].window, window);
  }
  const RECT suggested{windowBefore.left, windowBefore.top,
                       windowBefore.left + MulDiv(windowBefore.right - windowBefore.left, to, from),
                       windowBefore.top + MulDiv(windowBefore.bottom - windowBefore.top, to, from)};
  if (!sendDpiChanged(window, to, suggested)) {
    std::fprintf(out, "FAIL: WM_DPICHANGED could not be sent\n");
    return 1;
  }
  int failures = 0;
  RECT windowAfter, clientAfter;
  GetWindowRect(window, &windowAfter);
  GetClientRect(window, &clientAfter);
  std::fprintf(out, "window %s %s %s\n", text(windowBefore).c_str(), text(windowAfter).c_str(),
               text(suggested).c_str());
  std::fprintf(out, "client %s %s\n", text(clientBefore).c_str(), text(clientAfter).c_str());
  if (!same(windowAfter, suggested)) {
    std::fprintf(out, "FAIL: the window did not take the suggested rectangle\n");
    ++failures;
  }
  for (int i = 0; i < 5; ++i) {
    const RECT after = inClient(controls[i].window, window);
    const RECT expected = scaledBox(controls[i].box, to);
    std::fprintf(out, "%s %s %s %s\n", controls[i].name, text(before[i]).c_str(),
                 text(after).c_str(), text(expected).c_str());
    if (!same(after, expected)) {
      std::fprintf(out, "FAIL: %s is not where the layout puts it at %d dpi\n", controls[i].name,
                   to);
      ++failures;
    }
  }
  if (failures == 0) {
    std::fprintf(out, "ok\n");
  }
  return failures;
}

COLORREF fromHex(const char* hex) {
  const unsigned long rgb = std::strtoul(hex, nullptr, 16);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string narrow(const wchar_t* text) {
  char buffer[64] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

// Sets system colours from inside the stopwatch's process: the hook's library is loaded there,
// and one request is posted for each colour, the last one marked as such (lParam's high bit), so
// that the hook sets them all at once.
int setColours(std::FILE* out, HWND window, const std::vector<std::pair<int, COLORREF>>& colours) {
  for (const auto& [element, colour] : colours) {
    const DWORD was = GetSysColor(element);
    std::fprintf(out, "was %d=%02X%02X%02X\n", element, GetRValue(was), GetGValue(was),
                 GetBValue(was));
  }
  // The hook's library lies beside this program.
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring library(path, length);
  library = library.substr(0, library.find_last_of(L"\\/") + 1) + L"colour_hook.dll";
  HMODULE module = LoadLibraryW(library.c_str());
  const auto hook = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void (*)()>(module ? GetProcAddress(module, "setColourHook") : nullptr));
  HHOOK hooked = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, module,
                                          GetWindowThreadProcessId(window, nullptr))
                      : nullptr;
  if (!hooked) {
    std::fprintf(out, "FAIL: no hook in the stopwatch's process\n");
    return 1;
  }
  const UINT setColour = RegisterWindowMessageW(L"Tempulix test: set system colours");
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const LPARAM last = i + 1 == colours.size() ? colourHookLast : 0;
    PostMessageW(window, setColour, colours[i].second, colours[i].first | last);
  }
  // Taken from the queue, the request runs the hook; a sent message comes back once the
  // window has handled what came before.
  Sleep(200);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  UnhookWindowsHookEx(hooked);
  std::fprintf(out, "ok\n");
  return 0;
}

std::string titleOf(HWND window) {
  wchar_t title[256] = {};
  if (window) {
    GetWindowTextW(window, title, 256);
  }
  return narrow(title);
}

// Asked of the system from outside: the stopwatch's GetFocus and GetActiveWindow are its thread's.
int readFocus(std::FILE* out, HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    std::fprintf(out, "FAIL: no thread information (error %lu)\n", GetLastError());
    return 1;
  }
  std::fprintf(out, "foreground %s\n", titleOf(GetForegroundWindow()).c_str());
  std::fprintf(out, "active %s\n", info.hwndActive == window ? "yes" : "no");
  std::string focus = "none";
  if (info.hwndFocus == window) {
    focus = "window";
  } else if (info.hwndFocus && GetParent(info.hwndFocus) == window) {
    const int id = GetDlgCtrlID(info.hwndFocus);
    focus = id >= firstButtonId && id < firstButtonId + 4
                ? "Command" + std::to_string(id - firstButtonId + 1)
                : "control " + std::to_string(id);
  }
  std::fprintf(out, "focus %s\n", focus.c_str());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    return 2;
  }
  std::FILE* out = _wfopen(argv[1], L"wb");  // lines end in \n alone, for the shell
  if (!out) {
    return 2;
  }
  int status = 2;
  const std::wstring command = argv[2];
  HWND window = FindWindowW(windowClass, nullptr);
  if (!window) {
    std::fprintf(out, "FAIL: no stopwatch window\n");
    status = 1;
  } else if (command == L"window-colour" && argc == 4) {
    status = setColours(out, window, {{COLOR_WINDOW, fromHex(narrow(argv[3]).c_str())}});
  } else if (command == L"colours" && argc >= 4) {
    std::vector<std::pair<int, COLORREF>> colours;
    for (int i = 3; i < argc; ++i) {
      const std::string setting = narrow(argv[i]);
      const std::size_t equals = setting.find('=');
      colours.emplace_back(
          std::atoi(setting.c_str()),
          fromHex(setting.c_str() + (equals == std::string::npos ? 0 : equals + 1)));
    }
    status = setColours(out, window, colours);
  } else if (command == L"settings-changed" && argc == 4) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(argv[3]),
                        SMTO_ABORTIFHUNG, 5000, &result);
    std::fprintf(out, "ok\n");
    status = 0;
  } else if (command == L"focus" && argc == 3) {
    status = readFocus(out, window);
  } else if (command == L"dpi" && argc == 5) {
    status = changeDpi(out, window, _wtoi(argv[3]), _wtoi(argv[4]));
  }
  std::fclose(out);
  return status;
}
