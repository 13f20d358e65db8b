// Resource numbers shared by the resource script and the window code.
#pragma once

#define TEMPULIX_ICON_CLOCK 1
#define TEMPULIX_PICTURE_START 201
#define TEMPULIX_PICTURE_STOP 202
#define TEMPULIX_PICTURE_RESET 203
#define TEMPULIX_PICTURE_EXIT 204
