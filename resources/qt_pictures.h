// The embedded button pictures and clock icon, as Qt icons. Loading only; which button shows
// which picture is the window's business.
#pragma once

#include <QIcon>

namespace tempulix {

enum class Picture { start, stop, reset, exit, clock };

// The picture from the program's own resources, in every size it is drawn in, so that Qt takes
// the one that matches the screen's scale instead of enlarging the 32 px one. With
// sameWhenDisabled, the disabled state shows the same pictures instead of Qt's greyed ones. A
// null icon means it is missing from the build.
QIcon pictureIcon(Picture picture, bool sameWhenDisabled = false);

}  // namespace tempulix
