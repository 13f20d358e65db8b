// Tells when Qt's thread that reads the X server's events has ended. A client message of the
// type Qt sends itself at exit (_QT_CLOSE_CONNECTION) ends that thread from any client, before
// the program can see the message, and no input reaches the program after that. The thread is
// found by its name in the process's thread list. Its end comes as an event where the kernel
// gives one (a pidfd of the thread: Linux 6.9 and later), so that nothing runs while nothing
// happens; on older kernels the list is looked at twice a second instead.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QTimer>
#include <memory>
#include <string_view>

class QSocketNotifier;

namespace tempulix::x11 {

class EventReaderWatch : public QObject {
  Q_OBJECT

 public:
  explicit EventReaderWatch(QObject* parent = nullptr);
  ~EventReaderWatch() override;

  // Whether the end will come as an event (false: looked for, or not watched at all).
  bool byEvent() const { return pidfd_ >= 0; }

 signals:
  void ended();

 private:
  void look();
  bool watchByEvent(pid_t thread);
  void end();

  int pidfd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer looking_;
  bool seen_ = false;
};

// The id of a thread of the process with this name (its comm), 0 if there is none or the list
// cannot be read. tasks: a /proc/PID/task folder.
pid_t threadNamed(std::string_view name, const char* tasks = "/proc/self/task");

}  // namespace tempulix::x11
