// The button pictures, decoded from the program's resources for the size a screen asks for: the
// classic 32 px GIF, or the drawing made for a larger size (40, 48 or 64 px), resampled only for
// a size between them. GDI+ decodes them while a GdiplusSession lives.
#pragma once

#include <windows.h>

#include "handles.h"

namespace tempulix::win32 {

// One embedded picture (its 32 px resource id) as a 32-bit image list entry of size x size
// pixels, the transparent parts kept transparent; null if it cannot be made.
OwnedImageList loadPicture(HINSTANCE instance, int id, int size);

}  // namespace tempulix::win32
