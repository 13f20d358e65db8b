// Tells when Qt's thread that reads the X server's events has ended. A client message of the
// type Qt sends itself at exit (_QT_CLOSE_CONNECTION) ends that thread from any client, before
// the program can see the message, and no input reaches the program after that. The thread is
// found once, by its name, in the process's thread list, as soon as it has named itself.
//
// Nothing runs while nothing happens. Where the kernel gives an event for a thread's end (a pidfd
// of the thread: Linux 6.9 and later), that event tells. Elsewhere the thread is looked at only
// when the GUI thread wakes anyway, before it waits again: the reader's last batch of events wakes
// it too. A look that finds the thread still there is followed by one more, shortly after, unless
// a timer that is running will wake the GUI thread anyway; that follow-up schedules nothing.
#pragma once

#include <sys/types.h>

#include <QObject>
#include <QTimer>
#include <memory>
#include <string_view>
#include <vector>

class QSocketNotifier;

namespace tempulix::x11 {

class EventReaderWatch : public QObject {
  Q_OBJECT

 public:
  // Call with the application made: its X connection, and so the reader, is there.
  explicit EventReaderWatch(QObject* parent = nullptr);
  ~EventReaderWatch() override;

 signals:
  void ended();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Looks for the reader and watches it once found; looks again shortly while a thread of the
  // process has not named itself yet.
  void seek();
  // False where the kernel refuses a pidfd of a thread; true once the watch stands (or ended).
  bool watchByEvent();
  void watchAsTheThreadWakes();
  void look();
  void followUp();
  void end();

  pid_t reader_ = 0;
  int pidfd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer seekAgain_;
  int seeks_ = 0;
  QTimer followUp_;
  bool followingUp_ = false;  // this wake-up is the follow-up's own
  std::vector<int> timers_;   // ids of timers seen to fire, while they run
  bool ended_ = false;
};

// The id of a thread of the process with this name (its comm), other than the thread `except`;
// 0 if there is none or the list cannot be read. tasks: a /proc/PID/task folder.
pid_t threadNamed(std::string_view name, const char* tasks = "/proc/self/task", pid_t except = 0);

}  // namespace tempulix::x11
