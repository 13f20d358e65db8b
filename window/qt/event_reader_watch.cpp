#include "event_reader_watch.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A pidfd of a thread rather than of a whole process (Linux 6.9); older kernels refuse it.
#ifndef PIDFD_THREAD
#define PIDFD_THREAD O_EXCL
#endif

namespace tempulix::x11 {
namespace {

constexpr std::string_view readerName = "QXcbEventQueue";
constexpr int lookingIntervalMs = 500;

}  // namespace

pid_t threadNamed(std::string_view name, const char* tasks) {
  // Iterated with an error code throughout: a thread ending as it is read is no exception.
  std::error_code error;
  for (std::filesystem::directory_iterator task(tasks, error), end; !error && task != end;
       task.increment(error)) {
    std::ifstream comm(task->path() / "comm");
    std::string read;
    if (std::getline(comm, read) && read == name) {
      return static_cast<pid_t>(std::atol(task->path().filename().c_str()));
    }
  }
  return 0;
}

EventReaderWatch::EventReaderWatch(QObject* parent) : QObject(parent) {
  std::error_code error;
  if (!std::filesystem::exists("/proc/self/task", error)) {
    return;  // no thread list to find it in: not watched
  }
  // The thread starts with Qt's connection, before any window; until it is seen (and where the
  // kernel gives no event for it), it is looked for.
  const pid_t reader = threadNamed(readerName);
  seen_ = reader != 0;
  if (seen_ && watchByEvent(reader)) {
    return;
  }
  looking_.setInterval(lookingIntervalMs);
  connect(&looking_, &QTimer::timeout, this, &EventReaderWatch::look);
  looking_.start();
}

EventReaderWatch::~EventReaderWatch() {
  notifier_.reset();
  if (pidfd_ >= 0) {
    ::close(pidfd_);
  }
}

bool EventReaderWatch::watchByEvent(pid_t thread) {
  const long fd = ::syscall(SYS_pidfd_open, thread, PIDFD_THREAD);
  if (fd < 0) {
    if (errno == ESRCH) {
      // Gone between being seen and being watched.
      QMetaObject::invokeMethod(this, &EventReaderWatch::end, Qt::QueuedConnection);
      return true;
    }
    return false;  // a kernel before 6.9
  }
  pidfd_ = static_cast<int>(fd);
  ::fcntl(pidfd_, F_SETFD, FD_CLOEXEC);
  // Readable once the thread has ended.
  notifier_ = std::make_unique<QSocketNotifier>(pidfd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &EventReaderWatch::end);
  return true;
}

void EventReaderWatch::look() {
  const pid_t reader = threadNamed(readerName);
  if (reader != 0 && !seen_) {
    seen_ = true;
    if (watchByEvent(reader)) {
      looking_.stop();
    }
  } else if (reader == 0 && seen_) {
    end();
  }
}

void EventReaderWatch::end() {
  looking_.stop();
  if (notifier_) {
    notifier_->setEnabled(false);
  }
  emit ended();
}

}  // namespace tempulix::x11
