#include "painting.h"

#include <algorithm>
#include <array>

namespace tempulix::win32 {
namespace {

// The dark look, near Windows 11's own dark colours for a window and its buttons.
constexpr COLORREF darkWindowColour = RGB(0x20, 0x20, 0x20);
constexpr COLORREF darkFieldColour = RGB(0x19, 0x19, 0x19);  // where text fields sit
constexpr COLORREF darkTextColour = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF darkDisabledTextColour = RGB(0x7A, 0x7A, 0x7A);
constexpr COLORREF darkFaceColour = RGB(0x33, 0x33, 0x33);
constexpr COLORREF darkHotFaceColour = RGB(0x40, 0x40, 0x40);
constexpr COLORREF darkPressedFaceColour = RGB(0x27, 0x27, 0x27);
constexpr COLORREF darkBorderColour = RGB(0x5A, 0x5A, 0x5A);
constexpr COLORREF darkHotBorderColour = RGB(0x78, 0x78, 0x78);

HBRUSH brush(const OwnedBrush& owned) {
  return owned.get();
}

// A picture centred between left and right, one pixel down and to the right while pressed.
void drawPicture(HDC dc, HIMAGELIST picture, const RECT& area, int top, int shift) {
  if (!picture) {
    return;
  }
  int width = 0, height = 0;
  ImageList_GetIconSize(picture, &width, &height);
  ImageList_Draw(picture, 0, dc, (area.left + area.right - width) / 2 + shift, top + shift,
                 ILD_TRANSPARENT);
}

void drawFocus(HDC dc, RECT area) {
  InflateRect(&area, -3, -3);
  DrawFocusRect(dc, &area);
}

}  // namespace

Painter::Painter()
    : darkWindow_(CreateSolidBrush(darkWindowColour)),
      darkField_(CreateSolidBrush(darkFieldColour)),
      darkFace_(CreateSolidBrush(darkFaceColour)),
      darkHotFace_(CreateSolidBrush(darkHotFaceColour)),
      darkPressedFace_(CreateSolidBrush(darkPressedFaceColour)),
      darkBorder_(CreatePen(PS_SOLID, 1, darkBorderColour)),
      darkHotBorder_(CreatePen(PS_SOLID, 1, darkHotBorderColour)) {}

bool Painter::eraseBackground(HWND window, HDC dc) const {
  if (look_ != Look::dark) {
    return false;
  }
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, brush(darkWindow_));
  return true;
}

HBRUSH Painter::labelColours(HDC dc) const {
  if (look_ == Look::dark) {
    SetTextColor(dc, darkTextColour);
    SetBkColor(dc, darkWindowColour);
    return brush(darkWindow_);
  }
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT Painter::drawButton(const NMCUSTOMDRAW& draw, HIMAGELIST picture) const {
  if (look_ != Look::dark || draw.dwDrawStage != CDDS_PREPAINT) {
    return CDRF_DODEFAULT;
  }
  HWND button = draw.hdr.hwndFrom;
  HDC dc = draw.hdc;
  const RECT area = draw.rc;
  const auto state = static_cast<UINT>(SendMessageW(button, BM_GETSTATE, 0, 0));
  const bool pressed = (state & BST_PUSHED) || (draw.uItemState & CDIS_SELECTED);
  const bool hot = (state & BST_HOT) || (draw.uItemState & CDIS_HOT);
  const bool focused = (state & BST_FOCUS) || (draw.uItemState & CDIS_FOCUS);
  // Access-key underlines and focus marks are shown as the keyboard's last use asks.
  const auto cues = static_cast<UINT>(SendMessageW(button, WM_QUERYUISTATE, 0, 0));

  // The face, rounded a little, on the window's colour.
  FillRect(dc, &area, brush(darkWindow_));
  {
    const Selected pen(dc, (hot || focused ? darkHotBorder_ : darkBorder_).get());
    const Selected face(dc, brush(pressed ? darkPressedFace_ : hot ? darkHotFace_ : darkFace_));
    const int radius = std::max(2, static_cast<int>(area.bottom - area.top) / 12);
    RoundRect(dc, area.left, area.top, area.right, area.bottom, 2 * radius, 2 * radius);
  }

  // The picture above the caption, the two centred together.
  std::array<wchar_t, 64> text{};
  GetWindowTextW(button, text.data(), static_cast<int>(text.size()));
  const Selected font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
  RECT measured = area;
  DrawTextW(dc, text.data(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
  int pictureWidth = 0, pictureHeight = 0;
  if (picture) {
    ImageList_GetIconSize(picture, &pictureWidth, &pictureHeight);
  }
  const int textHeight = measured.bottom - measured.top;
  const int gap = pictureHeight / 16;
  const int top = area.top + (area.bottom - area.top - pictureHeight - gap - textHeight) / 2;
  const int shift = pressed ? 1 : 0;
  drawPicture(dc, picture, area, top, shift);
  RECT caption{area.left + shift, top + pictureHeight + gap + shift, area.right + shift,
               top + pictureHeight + gap + textHeight + shift};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(button) ? darkTextColour : darkDisabledTextColour);
  DrawTextW(dc, text.data(), -1, &caption,
            DT_CENTER | DT_TOP | DT_SINGLELINE | (cues & UISF_HIDEACCEL ? DT_HIDEPREFIX : 0));
  if (focused && !(cues & UISF_HIDEFOCUS)) {
    SetTextColor(dc, darkTextColour);
    SetBkColor(dc, darkFaceColour);
    drawFocus(dc, area);
  }
  return CDRF_SKIPDEFAULT;
}

void Painter::drawExitButton(const DRAWITEMSTRUCT& item, HIMAGELIST picture) const {
  RECT area = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  // The same picture in every state: normal, pressed, focused, disabled.
  if (look_ == Look::dark) {
    FillRect(item.hDC, &area, brush(darkField_));
    const Selected pen(item.hDC, darkBorder_.get());
    const Selected hollow(item.hDC, GetStockObject(NULL_BRUSH));
    Rectangle(item.hDC, area.left, area.top, area.right, area.bottom);
  } else {
    // The system's brush of the window colour follows that colour when it changes.
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(item.hDC, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  int width = 0, height = 0;
  if (picture) {
    ImageList_GetIconSize(picture, &width, &height);
  }
  drawPicture(item.hDC, picture, area, (area.top + area.bottom - height) / 2, pressed ? 1 : 0);
  if (item.itemState & ODS_FOCUS) {
    if (look_ == Look::dark) {
      SetTextColor(item.hDC, darkTextColour);
      SetBkColor(item.hDC, darkFieldColour);
    }
    drawFocus(item.hDC, area);
  }
}

}  // namespace tempulix::win32
