// The drawing the Windows window does itself, in the colours of its look: the background and the
// time, the captioned buttons in the dark look (classic controls have no dark drawing), and the
// exit button always. Light and high contrast take the system's colour pairs at each paint.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "appearance.h"
#include "handles.h"

namespace tempulix::win32 {

class Painter {
 public:
  Painter();

  void setLook(Look look) { look_ = look; }
  Look look() const { return look_; }

  // WM_ERASEBKGND: true if the background is painted; otherwise the window class's brush (the
  // system's button face) does it.
  bool eraseBackground(HWND window, HDC dc) const;
  // WM_CTLCOLORSTATIC of the time label: sets its text colours and gives its background brush.
  HBRUSH labelColours(HDC dc) const;
  // NM_CUSTOMDRAW of a captioned button, with its picture: what the window procedure returns.
  LRESULT drawButton(const NMCUSTOMDRAW& draw, HIMAGELIST picture) const;
  // WM_DRAWITEM of the exit button: its picture on the window-background colour, the same in
  // every state.
  void drawExitButton(const DRAWITEMSTRUCT& item, HIMAGELIST picture) const;

 private:
  Look look_ = Look::light;
  // The dark look's brushes and pens, made once.
  OwnedBrush darkWindow_, darkField_, darkFace_, darkHotFace_, darkPressedFace_;
  OwnedPen darkBorder_, darkHotBorder_;
};

}  // namespace tempulix::win32
