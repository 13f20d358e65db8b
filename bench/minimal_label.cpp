// A yardstick, not the stopwatch: the least a Qt 6 program does to show a time every 100 ms in
// a label and its title. "precise" keeps fixed deadlines (Qt::PreciseTimer); "rearm" starts a
// new 100 ms single shot after each tick is handled, as a timer re-armed from dispatch does.
// It starts counting at the first key press.
#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <cstring>

#include "elapsed_time.h"

namespace {

class Label : public QLabel {
 public:
  explicit Label(bool rearm) : rearm_(rearm) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(55);
    setFont(font);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(QStringLiteral("0:00.0"));
    setWindowTitle(rearm ? QStringLiteral("Minimal rearm - by")
                         : QStringLiteral("Minimal precise - by"));
    resize(318, 138);
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(100);
    timer_.setSingleShot(rearm);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
  }

 protected:
  void keyPressEvent(QKeyEvent*) override {
    if (!timer_.isActive()) timer_.start();
  }

 private:
  void tick() {
    if (const auto text = time_.tick()) {
      const QString shown = QString::fromStdString(*text);
      setText(shown);
      setWindowTitle(shown + QStringLiteral(" - minimal"));
    }
    if (rearm_) timer_.start();
  }

  bool rearm_;
  QTimer timer_;
  tempulix::ElapsedTime time_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  Label label(argc > 1 && std::strcmp(argv[1], "rearm") == 0);
  label.show();
  return QApplication::exec();
}
