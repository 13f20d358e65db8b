// The request colour_hook.cpp answers: a registered message ("Tempulix test: set system
// colours") whose wParam is the colour (a COLORREF) and whose lParam is the element (COLOR_...),
// with colourHookLast added to the last of a change.
#pragma once

#include <windows.h>

inline constexpr LPARAM colourHookLast = 0x10000;
