// The embedded button pictures and clock icon, as Qt icons. Loading only; which button shows
// which picture is the window's business.
#pragma once

#include <QIcon>

namespace tempulix {

enum class Picture { start, stop, reset, exit, clock };

// The picture from the program's own resources. A null icon means it is missing from the build.
QIcon pictureIcon(Picture picture);

}  // namespace tempulix
