#include "form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>
#include <utility>

#include "form1_layout.h"
#include "key_code.h"
#include "picture_button.h"
#include "qt_pictures.h"
#include "screen_reader.h"
#include "window_title.h"

namespace tempulix {
namespace {

// Twips to Qt's logical pixels, which Qt itself scales for high-DPI screens.
QRect toPixels(const form1::Box& box) {
  return {form1::pixels(box.left), form1::pixels(box.top), form1::pixels(box.width),
          form1::pixels(box.height)};
}

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The shift state as the controller receives it.
int shiftState(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? shiftMask : 0) |
         (modifiers & Qt::ControlModifier ? ctrlMask : 0) |
         (modifiers & Qt::AltModifier ? altMask : 0);
}

// "Lucida Console" is rarely found on Linux, and a bare family that is missing falls back to a
// proportional face; ask for fixed pitch and offer faces that are there.
QFont timeFont() {
  QFont font;
  font.setFamilies({toQString(form1::timeFontFace), QStringLiteral("Liberation Mono"),
                    QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::Monospace, QFont::PreferMatch);
  font.setFixedPitch(true);
  font.setPixelSize(form1::timeFontPixels);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

// What a screen reader hears the time display called, after the time itself, which is its name.
QString timeDescription(bool running) {
  return running ? QStringLiteral("Elapsed time, running")
                 : QStringLiteral("Elapsed time, stopped");
}

// What a screen reader hears when the stopwatch stops.
QString stoppedAt(const QString& time) {
  return QStringLiteral("Stopped at %1").arg(time.trimmed());
}

}  // namespace

Form1::Form1(Controller::OnTopSwitch onTop, QWidget* parent)
    : QWidget(parent), controller_(*this, std::move(onTop)) {
  screen_reader::presentAsWindow(staticMetaObject.className(), [](const QWidget& window) {
    return static_cast<const Form1&>(window).spokenTitle_;
  });
  controller_.formInitialize();
  setObjectName(QStringLiteral("Form1"));
  spokenTitle_ = toQString(designTimeCaption());
  setWindowTitle(spokenTitle_);
  setWindowIcon(pictureIcon(Picture::clock));
  // An ordinary resizable frame; the controls keep their places whatever its size.
  resize(form1::pixels(form1::clientWidth), form1::pixels(form1::clientHeight));

  timeLabel_ = new QLabel(toQString(form1::timeLabelText), this);
  timeLabel_->setObjectName(QStringLiteral("l_time"));
  timeLabel_->setGeometry(toPixels(form1::timeLabelBox));
  timeLabel_->setFont(timeFont());
  // Right-aligned, the digits stay put when "   0:00.0" becomes "0:00.1" and as minutes grow.
  timeLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // A screen reader reads the time as the label's name (its text, so every tick sends a name
  // change) and what it is, with whether it runs, from its description.
  timeLabel_->setAccessibleDescription(timeDescription(false));

  buttons_ = {addButton("Command1", form1::command1Text, "Start", Picture::start),
              addButton("Command2", form1::command2Text, "Stop", Picture::stop),
              addButton("Command3", form1::command3Text, "Reset", Picture::reset),
              addButton("Command4", {}, "Exit", Picture::exit)};
  const std::array<form1::Box, 4> boxes = {form1::command1Box, form1::command2Box,
                                           form1::command3Box, form1::command4Box};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setGeometry(toPixels(boxes[i]));
  }
  // The picture alone, on the window-background colour (see PictureButton).
  buttons_[3]->setToolButtonStyle(Qt::ToolButtonIconOnly);
  // The exit picture a second time for the disabled state, so that it looks the same in every
  // state instead of Qt's greyed-out rendering.
  buttons_[3]->setIcon(pictureIcon(Picture::exit, true));
  // Tab order 1 to 4; Qt's focus chain wraps from the last back to the first.
  setTabOrder(buttons_[0], buttons_[1]);
  setTabOrder(buttons_[1], buttons_[2]);
  setTabOrder(buttons_[2], buttons_[3]);

  connect(buttons_[0], &QAbstractButton::clicked, this, [this] { controller_.command1Click(); });
  connect(buttons_[1], &QAbstractButton::clicked, this, [this] { controller_.command2Click(); });
  connect(buttons_[2], &QAbstractButton::clicked, this, [this] { controller_.command3Click(); });
  connect(buttons_[3], &QAbstractButton::clicked, this, [this] { controller_.command4Click(); });

  timer1_.setObjectName(QStringLiteral("Timer1"));
  // Deadlines at fixed steps from the start (previous deadline + interval), not from when the
  // last tick was handled, so the period does not drift; a missed period is merged.
  timer1_.setTimerType(Qt::PreciseTimer);
  timer1_.setInterval(Controller::timerIntervalMs);
  connect(&timer1_, &QTimer::timeout, this, [this] { controller_.timer1Timer(); });

  controller_.formLoad();

  // On top from the first show, on X11 in the state the window is mapped with, which a window
  // manager reads whenever it takes the window: at once, later, or in another's stead
  // (docs/desktops.md). The controller's switch changes the hint afterwards.
  setWindowFlag(Qt::WindowStaysOnTopHint);
  // Key preview: the window's own QWindow sees every key as a ShortcutOverride before any
  // widget, Alt combinations included, and lets it go on to the focused button.
  create();
  windowHandle()->installEventFilter(this);
}

Form1::~Form1() {
  if (QWindow* window = windowHandle()) {
    window->removeEventFilter(this);
  }
}

PictureButton* Form1::addButton(const char* name, std::string_view text, const char* accessibleName,
                                Picture picture) {
  auto* button = new PictureButton(this);
  button->setObjectName(QLatin1String(name));
  button->setText(toQString(text));
  button->setIcon(pictureIcon(picture));
  button->setAccessibleName(QLatin1String(accessibleName));
  return button;
}

void Form1::globalShortcut(GlobalShortcut shortcut) {
  controller_.globalShortcut(shortcut);
}

void Form1::setLabelText(std::string_view text) {
  timeLabel_->setText(toQString(text));
  // The label changes while the timer is off only on Reset.
  if (!timer1_.isActive()) {
    toTell_ = Change::reset;
    tellScreenReadersLater();
    if (!screen_reader::canAnnounce()) {
      buttons_[0]->setAccessibleDescription(timeLabel_->text());  // see setTimerEnabled
    }
  }
}

void Form1::setCaption(std::string_view text) {
  // Screen readers hear of the new title once the stopwatch stands still (tellScreenReaders);
  // the window's accessible name stays what they were last told until then, so that Qt does
  // not tell them either.
  setWindowTitle(toQString(text));
  if (!timer1_.isActive()) {
    tellScreenReadersLater();
  }
}

void Form1::setTimerInterval(int milliseconds) {
  timer1_.setInterval(milliseconds);
}

void Form1::setTimerEnabled(bool enabled) {
  const bool wasRunning = timer1_.isActive();
  if (!enabled) {
    timer1_.stop();
  } else if (!wasRunning) {
    // start() on a running timer would begin a new period: keep the one under way.
    timer1_.start();
  }
  // Running is nothing but the timer's state; a screen reader finds it with the time.
  const QString description = timeDescription(enabled);
  if (timeLabel_->accessibleDescription() != description) {
    timeLabel_->setAccessibleDescription(description);
  }
  if (wasRunning && !enabled) {
    toTell_ = Change::stopped;
    tellScreenReadersLater();
  }
  // Where nothing can be announced, the held time goes with Start, which takes the focus next: a
  // screen reader reads a button's description with its name as the focus comes to it.
  if (!screen_reader::canAnnounce()) {
    const QString held = wasRunning && !enabled ? stoppedAt(timeLabel_->text()) : QString();
    if (buttons_[0]->accessibleDescription() != held) {
      buttons_[0]->setAccessibleDescription(held);
    }
  }
}

bool Form1::isTimerEnabled() {
  return timer1_.isActive();
}

void Form1::setFocus(Button button) {
  buttons_[static_cast<std::size_t>(button)]->setFocus(Qt::OtherFocusReason);
}

WindowHandle Form1::nativeWindowHandle() {
  return static_cast<WindowHandle>(winId());
}

void Form1::endProgram() {
  // At once and without a close event: quit() would send one.
  timer1_.stop();
  hide();
  QCoreApplication::exit(0);
}

void Form1::tellScreenReadersLater() {
  if (!tellScheduled_) {
    tellScheduled_ = true;
    // After the handler, its focus move included: what the focus brings is said first.
    QMetaObject::invokeMethod(this, &Form1::tellScreenReaders, Qt::QueuedConnection);
  }
}

void Form1::tellScreenReaders() {
  tellScheduled_ = false;
  const Change change = std::exchange(toTell_, Change::none);
  if (timer1_.isActive()) {
    return;  // started again meanwhile: nothing stands still to be told of
  }
  // The window's name is its title again. Told after the focus move, it is not spoken itself:
  // a screen reader reads the window's name afresh as the focus moves, and finds it told.
  if (spokenTitle_ != windowTitle()) {
    spokenTitle_ = windowTitle();
    screen_reader::tellNameChanged(*this);
  }
  if (change == Change::stopped) {
    screen_reader::announce(*timeLabel_, stoppedAt(timeLabel_->text()));
  } else if (change == Change::reset) {
    screen_reader::announce(*timeLabel_, timeLabel_->text());
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      const auto* key = static_cast<QKeyEvent*>(event);
      controller_.formKeyDown(controllerKeyCode(*key), shiftState(key->modifiers()));
      break;
    }
    case QEvent::Expose:
      // The stopwatch's Activate comes once, when the window is first shown and mapped, whether
      // or not the window manager gives it the focus: some never focus new windows, and keeping
      // the window above must not wait for a click. Queued, so the window paints first.
      if (!activated_ && windowHandle()->isExposed()) {
        activated_ = true;
        QMetaObject::invokeMethod(
            this, [this] { controller_.formActivate(); }, Qt::QueuedConnection);
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
  std::int16_t cancel = 0;
  controller_.formUnload(cancel);
  if (cancel != 0) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace tempulix
