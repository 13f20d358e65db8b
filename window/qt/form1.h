// The stopwatch window in Qt Widgets: builds the label, the four buttons and the timer as
// designed, carries out the controller's window operations and delivers the window's events to
// it. It holds no stopwatch state of its own.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "controller.h"
#include "qt_pictures.h"
#include "window_operations.h"

class QLabel;

namespace tempulix {

class PictureButton;

class Form1 : public QWidget, public WindowOperations {
  Q_OBJECT

 public:
  // onTop is the always-on-top switch the controller calls (see stay_on_top_hint.h). The window
  // is made to stay on top before it is first shown, whatever the switch.
  explicit Form1(Controller::OnTopSwitch onTop, QWidget* parent = nullptr);
  ~Form1() override;

  // A global shortcut pressed, wherever the keyboard focus is: the window is not activated,
  // and the focus moves of its handler stay within the window (Qt gives a window that is not
  // active its focus widget when it next becomes active).
  void globalShortcut(GlobalShortcut shortcut);

  // WindowOperations
  void setLabelText(std::string_view text) override;
  void setCaption(std::string_view text) override;
  void setTimerInterval(int milliseconds) override;
  void setTimerEnabled(bool enabled) override;
  bool isTimerEnabled() override;
  void setFocus(Button button) override;
  WindowHandle nativeWindowHandle() override;
  void endProgram() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  PictureButton* addButton(const char* name, std::string_view text, const char* accessibleName,
                           Picture picture);

  QLabel* timeLabel_;
  std::array<PictureButton*, 4> buttons_;
  QTimer timer1_{this};  // a child, so that it can be found by name
  Controller controller_;
  bool activated_ = false;

  // What screen readers are told of, after each handler (see screen_reader.h).
  enum class Change { none, stopped, reset };
  void tellScreenReadersLater();
  void tellScreenReaders();
  QString spokenTitle_;  // the window's accessible name: its title as screen readers last heard it
  Change toTell_ = Change::none;
  bool tellScheduled_ = false;
};

}  // namespace tempulix
