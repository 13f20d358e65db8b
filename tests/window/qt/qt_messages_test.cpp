// Which of Qt's messages reach standard error: a table test on plain data.
#include "qt_messages.h"

#include <gtest/gtest.h>

namespace tempulix {
namespace {

TEST(QtMessages, OnlyOtherProgramsNoiseIsDropped) {
  const struct {
    const char* category;
    const char* message;
    bool dropped;
  } rows[] = {
      {"qt.accessibility.atspi", "Subscription string not handled: \"Window:Destroy:\"", true},
      {"default", "QSpiApplication::keyEventError  \"org.freedesktop.DBus.Error.NoReply\"", true},
      {"qt.accessibility.atspi",
       "AtSpiAdaptor::applicationInterface does not implement \"GetApplicationBusAddress\"", true},
      {"qt.accessibility.atspi", "Could not connect to the accessibility bus", false},
      {"default", "Subscription string not handled", false},  // only in its own category
      {"qt.qpa.xcb", "QXcbConnection: XCB error: 3 (BadWindow)", false},
      {"default", "", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(isOtherProgramsNoise(row.category, row.message), row.dropped) << row.message;
  }
}

}  // namespace
}  // namespace tempulix
