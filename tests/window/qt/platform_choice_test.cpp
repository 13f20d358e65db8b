// Which platform the program asks Qt for, from what the environment offers.
#include "platform_choice.h"

#include <gtest/gtest.h>

namespace tempulix {
namespace {

TEST(PlatformChoiceTest, XWhereverItAnswersNativeWaylandOnlyWithout) {
  const struct {
    const char* name;
    DisplayProbe probe;
    bool canRun;
    const char* platform;
    const char* saysSomething;  // a part of the message, or "" for silence
  } rows[] = {
      {"the user's choice wins", {true, "", false, false, false}, true, "", ""},
      {"the user's choice wins over X", {true, ":0", true, true, true}, true, "", ""},
      {"X11 session", {false, ":0", true, false, false}, true, "xcb", ""},
      {"Wayland session with XWayland", {false, ":1", true, true, true}, true, "xcb", ""},
      {"Wayland without XWayland",
       {false, "", false, true, true},
       true,
       "wayland",
       "cannot be kept above"},
      {"Wayland, Qt's plugin missing", {false, "", false, true, false}, false, "", "qt6-wayland"},
      {"nothing, DISPLAY unset",
       {false, "", false, false, true},
       false,
       "",
       "cannot open the display (DISPLAY is not set)"},
      {"nothing, DISPLAY names no server",
       {false, ":59", false, false, true},
       false,
       "",
       "cannot open the display :59."},
  };
  for (const auto& row : rows) {
    const PlatformChoice choice = choosePlatform(row.probe);
    EXPECT_EQ(choice.canRun, row.canRun) << row.name;
    EXPECT_EQ(choice.platform, row.platform) << row.name;
    if (*row.saysSomething) {
      EXPECT_NE(choice.message.find(row.saysSomething), std::string::npos)
          << row.name << ": " << choice.message;
      EXPECT_EQ(choice.message.back(), '\n') << row.name;
    } else {
      EXPECT_EQ(choice.message, "") << row.name;
    }
  }
}

}  // namespace
}  // namespace tempulix
