// How the program finds Qt's X event reader among its threads.
#include "event_reader_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tempulix {
namespace {

TEST(EventReader, FoundByItsThreadName) {
  const std::filesystem::path tasks =
      std::filesystem::temp_directory_path() / ("tempulix-tasks-" + std::to_string(getpid()));
  std::filesystem::remove_all(tasks);
  const auto thread = [&](const char* task, const char* name) {
    std::filesystem::create_directories(tasks / task);
    std::ofstream(tasks / task / "comm") << name << '\n';
  };
  thread("100", "tempulix");
  thread("101", "QDBusConnection");
  EXPECT_EQ(x11::threadNamed("QXcbEventQueue", tasks.c_str()), 0);
  thread("102", "QXcbEventQueue");
  EXPECT_EQ(x11::threadNamed("QXcbEventQueue", tasks.c_str()), 102);
  // A thread that has not named itself yet bears the main thread's name.
  EXPECT_EQ(x11::threadNamed("tempulix", tasks.c_str(), 100), 0);
  thread("103", "tempulix");
  EXPECT_EQ(x11::threadNamed("tempulix", tasks.c_str(), 100), 103);
  std::filesystem::remove_all(tasks);
  EXPECT_EQ(x11::threadNamed("QXcbEventQueue", tasks.c_str()), 0) << "no such folder";
}

}  // namespace
}  // namespace tempulix
