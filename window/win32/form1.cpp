#include "form1.h"

#include <string>
#include <utility>

#include "form1_layout.h"
#include "pictures.h"
#include "resource_ids.h"
#include "system_appearance.h"
#include "system_function.h"
#include "window_title.h"

namespace tempulix::win32 {
namespace {

constexpr wchar_t windowClass[] = L"Tempulix.Form1";
// An ordinary resizable frame, in whose client area Tab moves among the buttons.
constexpr DWORD windowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD windowExStyle = WS_EX_CONTROLPARENT;
constexpr UINT_PTR timer1Id = 1;
// Control ids; 1 and 2 are IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int firstButtonId = 101;

std::wstring widen(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// Microseconds on the monotonic performance counter.
std::int64_t nowMicroseconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return counter.QuadPart / frequency.QuadPart * 1'000'000 +
         counter.QuadPart % frequency.QuadPart * 1'000'000 / frequency.QuadPart;
}

// The resolution of the monitor the window is on, in dots per inch (Windows 10 1607 and later);
// elsewhere the system's, which is then every monitor's.
int dpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      systemFunction<GetDpiForWindowFunction>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window)) {
      return static_cast<int>(dpi);
    }
  }
  return GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
}

// The size of the window whose client area is width x height pixels, with the frame the system
// draws at that resolution.
SIZE windowSizeFor(int width, int height, int dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = systemFunction<AdjustForDpiFunction>(
      GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi");
  RECT frame{0, 0, width, height};
  if (!adjustForDpi ||
      !adjustForDpi(&frame, windowStyle, FALSE, windowExStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&frame, windowStyle, FALSE, windowExStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

int shiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? shiftMask : 0) |
         (GetKeyState(VK_CONTROL) < 0 ? ctrlMask : 0) | (GetKeyState(VK_MENU) < 0 ? altMask : 0);
}

}  // namespace

Form1::Form1(HINSTANCE instance, Controller::OnTopSwitch onTop)
    : instance_(instance), controller_(*this, std::move(onTop)) {}

bool Form1::show(int showCommand) {
  WNDCLASSEXW windowClassInfo{};
  windowClassInfo.cbSize = sizeof windowClassInfo;
  windowClassInfo.lpfnWndProc = windowProcedure;
  windowClassInfo.hInstance = instance_;
  windowClassInfo.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(TEMPULIX_ICON_CLOCK));
  windowClassInfo.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClassInfo.lpszClassName = windowClass;
  if (!RegisterClassExW(&windowClassInfo)) {
    return false;
  }

  // The client area is the designed size; the frame around it is whatever the system draws.
  // Made for the system's resolution, the window is sized again for the resolution of the
  // monitor it was placed on, which WM_CREATE reads. Initialize and Load run inside WM_CREATE,
  // before the window is visible.
  dpi_ = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
  SIZE size = windowSizeFor(scaled(form1::clientWidth), scaled(form1::clientHeight), dpi_);
  const std::wstring caption = widen(designTimeCaption());
  if (!CreateWindowExW(windowExStyle, windowClass, caption.c_str(), windowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance_, this)) {
    return false;
  }
  size = windowSizeFor(scaled(form1::clientWidth), scaled(form1::clientHeight), dpi_);
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  // Activation normally comes during ShowWindow; if the system withheld it (the program was
  // started minimised, or in the background), the stopwatch's Activate still comes now.
  deliverActivate();
  return true;
}

int Form1::scaled(int twips) const {
  return MulDiv(form1::pixels(twips), dpi_, 96);
}

void Form1::createControls() {
  label_ = CreateWindowExW(0, L"STATIC", widen(form1::timeLabelText).c_str(),
                           WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 0,
                           0, window_, nullptr, instance_, nullptr);
  const std::array<std::string_view, 3> texts = {form1::command1Text, form1::command2Text,
                                                 form1::command3Text};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const bool exitButton = i == 3;
    // The exit button paints itself: a push button cannot have its own background colour.
    const DWORD kind = exitButton ? BS_OWNERDRAW : BS_PUSHBUTTON;
    buttons_[i] = CreateWindowExW(0, L"BUTTON", exitButton ? L"Exit" : widen(texts[i]).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0, 0, 0, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstButtonId + i)),
                                  instance_, nullptr);
  }
  layOut();
}

void Form1::layOut() {
  const auto place = [this](HWND control, const form1::Box& box) {
    MoveWindow(control, scaled(box.left), scaled(box.top), scaled(box.width), scaled(box.height),
               TRUE);
  };
  // Each new font and picture is handed to its control before the one it replaces is released.

  // Lucida Console where it exists; otherwise the font mapper's choice of a fixed-pitch face.
  OwnedFont timeFont(CreateFontW(-MulDiv(form1::timeFontPixels, dpi_, 96), 0, 0, 0, FW_NORMAL,
                                 FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                 widen(form1::timeFontFace).c_str()));
  // Right-aligned, the digits stay put when "   0:00.0" becomes "0:00.1" and as minutes grow.
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(timeFont.get()), TRUE);
  timeFont_ = std::move(timeFont);
  place(label_, form1::timeLabelBox);

  // Captions in the desktop's message font at 8 pt, which fits beneath a 32 px picture.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = -MulDiv(8, dpi_, 72);
  OwnedFont captionFont(CreateFontIndirectW(&metrics.lfMessageFont));

  const std::array<form1::Box, 4> boxes = {form1::command1Box, form1::command2Box,
                                           form1::command3Box, form1::command4Box};
  const std::array<int, 4> pictureIds = {TEMPULIX_PICTURE_START, TEMPULIX_PICTURE_STOP,
                                         TEMPULIX_PICTURE_RESET, TEMPULIX_PICTURE_EXIT};
  const int pictureSize = MulDiv(32, dpi_, 96);
  GdiplusSession gdiplus;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(captionFont.get()), TRUE);
    place(buttons_[i], boxes[i]);
    // A picture that cannot be made for this size leaves the one shown before.
    OwnedImageList picture =
        gdiplus.ok() ? loadPicture(instance_, pictureIds[i], pictureSize) : nullptr;
    if (!picture) {
      continue;
    }
    if (i != 3) {
      // Picture centred above the caption (needs comctl32 6, which the manifest asks for).
      BUTTON_IMAGELIST list{picture.get(), {1, 2, 1, 0}, BUTTON_IMAGELIST_ALIGN_TOP};
      SendMessageW(buttons_[i], BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
    }
    pictures_[i] = std::move(picture);
  }
  captionFont_ = std::move(captionFont);
  InvalidateRect(window_, nullptr, TRUE);
}

void Form1::followAppearance() {
  const Appearance appearance = chooseAppearance(readAppearanceSettings());
  askForTitleBar(window_, appearance);
  painter_.setLook(appearance.look);
  // The frame, the window and every control drawn again in the new colours.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool Form1::preTranslate(MSG& message) {
  if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
    return false;
  }
  // Key preview: the window sees every key before the focused control, which still gets it.
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    controller_.formKeyDown(static_cast<int>(message.wParam), shiftState());
  }
  // The dialog manager takes a plain letter for an access key as if Alt were held; the letters
  // are the preview's alone, so they bypass it. Alt+letter comes as WM_SYSCHAR and goes in.
  if (message.message == WM_CHAR) {
    return false;
  }
  return IsDialogMessageW(window_, &message) != FALSE;
}

void Form1::setLabelText(std::string_view text) {
  SetWindowTextW(label_, widen(text).c_str());
}

void Form1::setCaption(std::string_view text) {
  SetWindowTextW(window_, widen(text).c_str());
}

void Form1::setTimerInterval(int milliseconds) {
  intervalMs_ = milliseconds;
}

void Form1::setTimerEnabled(bool enabled) {
  if (enabled == timerEnabled_) {
    return;  // enabling a running timer keeps its schedule
  }
  timerEnabled_ = enabled;
  if (enabled) {
    const std::int64_t now = nowMicroseconds();
    schedule_.start(now, std::int64_t{intervalMs_} * 1000);
    SetTimer(window_, timer1Id, static_cast<UINT>(intervalMs_), nullptr);
  } else {
    KillTimer(window_, timer1Id);
  }
}

bool Form1::isTimerEnabled() {
  return timerEnabled_;
}

void Form1::onTimer() {
  // A WM_TIMER may already be queued when the timer is disabled, and the system timer wakes us
  // on its own granularity: only a due deadline of an enabled timer is a tick.
  if (!timerEnabled_) {
    return;
  }
  if (schedule_.due(nowMicroseconds())) {
    controller_.timer1Timer();
  }
  if (timerEnabled_ && window_) {
    const std::int64_t left = schedule_.remaining(nowMicroseconds());
    const auto delay = static_cast<UINT>(left <= 0 ? USER_TIMER_MINIMUM : (left + 999) / 1000);
    SetTimer(window_, timer1Id, delay, nullptr);
  }
}

void Form1::setFocus(Button button) {
  focusToRestore_ = buttons_[static_cast<std::size_t>(button)];
  // SetFocus would activate a window that is not active, taking the keyboard from the program
  // the user works in (a global shortcut's press); there the move waits for the window's next
  // activation.
  if (GetForegroundWindow() == window_) {
    SetFocus(focusToRestore_);
  }
}

void Form1::deliverActivate() {
  if (!activated_) {
    activated_ = true;
    controller_.formActivate();
  }
}

WindowHandle Form1::nativeWindowHandle() {
  return reinterpret_cast<WindowHandle>(window_);
}

void Form1::endProgram() {
  // Destroying the window directly skips WM_CLOSE, so the Unload handler does not run.
  HWND window = window_;
  timerEnabled_ = false;
  DestroyWindow(window);
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handle(window, message, wParam, lParam);
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      controller_.formInitialize();
      // The look before anything is painted, the title bar's included.
      followAppearance();
      dpi_ = dpiOf(window);
      createControls();
      controller_.formLoad();
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another resolution, or its scale changed: the fonts, places and
      // pictures for the new one, and the size and place the system suggests. (Both come from
      // the system; the rectangle is checked for being there at all.)
      if (const int dpi = HIWORD(wParam); dpi > 0) {
        dpi_ = dpi;
        layOut();
      }
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_SYSCOLORCHANGE:
      // The common controls hear of new colours (a high-contrast theme, say) only from their
      // top-level window; high contrast may have come or gone with them.
      SendMessageW(label_, WM_SYSCOLORCHANGE, wParam, lParam);
      for (HWND button : buttons_) {
        SendMessageW(button, WM_SYSCOLORCHANGE, wParam, lParam);
      }
      followAppearance();
      return 0;
    case WM_SETTINGCHANGE:
      if (touchesAppearance(wParam, lParam)) {
        followAppearance();
      }
      break;
    case WM_ERASEBKGND:
      if (painter_.eraseBackground(window_, reinterpret_cast<HDC>(wParam))) {
        return 1;
      }
      break;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(painter_.labelColours(reinterpret_cast<HDC>(wParam)));
    case WM_NOTIFY: {
      const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
      for (std::size_t i = 0; i < 3; ++i) {
        if (draw->hdr.code == NM_CUSTOMDRAW && draw->hdr.hwndFrom == buttons_[i]) {
          return painter_.drawButton(*draw, pictures_[i].get());
        }
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        focusToRestore_ = GetFocus();
        break;
      }
      deliverActivate();  // the window's Activate: once, when it is first shown
      // To the button that had the focus, or that a handler gave it while another program's
      // window was in front; DefWindowProc would give it to the window itself.
      if (focusToRestore_ && IsChild(window_, focusToRestore_)) {
        SetFocus(focusToRestore_);
        return 0;
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        // Enter on the owner-drawn exit button arrives as IDOK: click the focused button.
        HWND focused = GetFocus();
        for (HWND button : buttons_) {
          if (button == focused) {
            SendMessageW(button, BM_CLICK, 0, 0);
          }
        }
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && id >= firstButtonId && id < firstButtonId + 4) {
        switch (id - firstButtonId) {
          case 0:
            controller_.command1Click();
            break;
          case 1:
            controller_.command2Click();
            break;
          case 2:
            controller_.command3Click();
            break;
          default:
            controller_.command4Click();
            break;
        }
        return 0;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem == buttons_[3]) {
        painter_.drawExitButton(*item, pictures_[3].get());
        return TRUE;
      }
      break;
    }
    case WM_TIMER:
      if (wParam == timer1Id) {
        onTimer();
        return 0;
      }
      break;
    case WM_CLOSE: {
      std::int16_t cancel = 0;
      controller_.formUnload(cancel);
      if (cancel == 0) {
        DestroyWindow(window_);
      }
      return 0;
    }
    case WM_DESTROY:
      KillTimer(window_, timer1Id);
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tempulix::win32
