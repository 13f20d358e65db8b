#include "event_reader_watch.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <algorithm>
#include <cerrno>
#include <cstdio>
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
// Long enough for a thread that has handed on its last events to be gone, short enough that the
// program ends within a second of it.
constexpr int followUpMs = 200;
// A thread that Qt has started names itself once it runs, soon after; until then it bears the
// name of the thread that started it. How often, and how long, the reader is looked for while
// some thread has not named itself yet: 250 times 20 ms, 5 s.
constexpr int seekAgainMs = 20;
constexpr int mostSeeks = 250;

// Whether a thread of this process is still there.
bool running(pid_t thread) {
  return ::syscall(SYS_tgkill, ::getpid(), thread, 0) == 0 || errno != ESRCH;
}

// Whether a thread other than the main one still has the main thread's name.
bool threadNotNamedYet() {
  std::ifstream comm("/proc/self/comm");
  std::string own;
  return std::getline(comm, own) && threadNamed(own, "/proc/self/task", ::getpid()) != 0;
}

}  // namespace

pid_t threadNamed(std::string_view name, const char* tasks, pid_t except) {
  // Iterated with an error code throughout: a thread ending as it is read is no exception.
  std::error_code error;
  for (std::filesystem::directory_iterator task(tasks, error), end; !error && task != end;
       task.increment(error)) {
    std::ifstream comm(task->path() / "comm");
    std::string read;
    if (std::getline(comm, read) && read == name) {
      const auto thread = static_cast<pid_t>(std::atol(task->path().filename().c_str()));
      if (thread != except) {
        return thread;
      }
    }
  }
  return 0;
}

EventReaderWatch::EventReaderWatch(QObject* parent) : QObject(parent) {
  followUp_.setSingleShot(true);
  followUp_.setInterval(followUpMs);
  connect(&followUp_, &QTimer::timeout, this, &EventReaderWatch::followUp);
  seekAgain_.setSingleShot(true);
  seekAgain_.setInterval(seekAgainMs);
  connect(&seekAgain_, &QTimer::timeout, this, &EventReaderWatch::seek);
  seek();
}

void EventReaderWatch::seek() {
  // Looked for twice: a thread found as it ends is looked for anew.
  for (int attempt = 0; attempt < 2; ++attempt) {
    reader_ = threadNamed(readerName);
    if (reader_ == 0) {
      break;
    }
    if (watchByEvent()) {
      return;
    }
    if (running(reader_)) {
      watchAsTheThreadWakes();
      return;
    }
  }
  reader_ = 0;
  // Qt starts the reader before the program is here, but on a busy machine it may not have run
  // far enough to name itself.
  if (++seeks_ < mostSeeks && threadNotNamedYet()) {
    seekAgain_.start();
    return;
  }
  std::fprintf(stderr,
               "tempulix: Qt's X event reader (a thread named %.*s) was not found; if another"
               " program stops it, this one will not notice\n",
               static_cast<int>(readerName.size()), readerName.data());
}

EventReaderWatch::~EventReaderWatch() {
  notifier_.reset();
  if (pidfd_ >= 0) {
    ::close(pidfd_);
  }
}

bool EventReaderWatch::watchByEvent() {
  const long fd = ::syscall(SYS_pidfd_open, reader_, PIDFD_THREAD);
  if (fd < 0) {
    return false;  // a kernel before 6.9, or the thread is gone
  }
  pidfd_ = static_cast<int>(fd);
  ::fcntl(pidfd_, F_SETFD, FD_CLOEXEC);
  // Readable once the thread has ended.
  notifier_ = std::make_unique<QSocketNotifier>(pidfd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &EventReaderWatch::end);
  return true;
}

void EventReaderWatch::watchAsTheThreadWakes() {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) {
    return;
  }
  connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &EventReaderWatch::look);
  // Which timers fire, so that a look knows whether one of them will wake the thread again.
  QCoreApplication::instance()->installEventFilter(this);
}

bool EventReaderWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Timer) {
    const int id = static_cast<QTimerEvent*>(event)->timerId();
    if (id != followUp_.timerId() &&
        std::find(timers_.begin(), timers_.end(), id) == timers_.end()) {
      timers_.push_back(id);
    }
  }
  return QObject::eventFilter(watched, event);
}

void EventReaderWatch::look() {
  if (ended_) {
    return;
  }
  if (!running(reader_)) {
    end();
    return;
  }
  if (std::exchange(followingUp_, false) || followUp_.isActive()) {
    return;
  }
  // A timer still running wakes the thread again, and it is looked at then.
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  std::erase_if(timers_, [dispatcher](int id) { return dispatcher->remainingTime(id) < 0; });
  if (timers_.empty()) {
    followUp_.start();
  }
}

void EventReaderWatch::followUp() {
  followingUp_ = true;  // looked at as the thread goes to wait again, and nothing scheduled
}

void EventReaderWatch::end() {
  if (std::exchange(ended_, true)) {
    return;
  }
  followUp_.stop();
  if (notifier_) {
    notifier_->setEnabled(false);
  }
  emit ended();
}

}  // namespace tempulix::x11
