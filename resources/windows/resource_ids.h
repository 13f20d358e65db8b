// Resource numbers shared by the resource script and the window code.
#pragma once

#define TEMPULIX_ICON_CLOCK 1
#define TEMPULIX_PICTURE_START 201
#define TEMPULIX_PICTURE_STOP 202
#define TEMPULIX_PICTURE_RESET 203
#define TEMPULIX_PICTURE_EXIT 204
// Each picture drawn again for high-DPI screens, as PNG: its number plus 10 for 40 px (scale
// 1.25), plus 20 for 48 px (1.5) and plus 30 for 64 px (2).
#define TEMPULIX_PICTURE_SCALED_STEP 10
