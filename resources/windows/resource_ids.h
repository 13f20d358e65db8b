// Resource numbers shared by the resource script and the window code.
#pragma once

#define TEMPULIX_ICON_CLOCK 1
#define TEMPULIX_PICTURE_START 201
#define TEMPULIX_PICTURE_STOP 202
#define TEMPULIX_PICTURE_RESET 203
#define TEMPULIX_PICTURE_EXIT 204
// Each picture drawn again for high-DPI screens, as PNG: its number plus 10 for the first of
// scaledPictureSizes (40 px), plus 20 for the next, and so on.
#define TEMPULIX_PICTURE_SCALED_STEP 10
