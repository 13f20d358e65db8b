#include "controller.h"

#include <utility>

#include "window_title.h"

namespace tempulix {

Controller::Controller(WindowOperations& window, OnTopSwitch onTop)
    : window_(window), onTop_(std::move(onTop)) {}

void Controller::formLoad() {
  window_.setTimerInterval(timerIntervalMs);
  window_.setTimerEnabled(false);
  elapsed_.reset();
}

void Controller::formActivate() {
  window_.setFocus(Button::command1);
  switchOnTop(flagTrue);
}

void Controller::command1Click() {
  window_.setTimerEnabled(true);
  window_.setFocus(Button::command2);
}

void Controller::command2Click() {
  window_.setTimerEnabled(false);
  window_.setFocus(Button::command1);
}

void Controller::command3Click() {
  window_.setTimerEnabled(false);
  elapsed_.reset();
  window_.setLabelText(resetLabelText);
  window_.setFocus(Button::command1);
}

void Controller::command4Click() {
  window_.endProgram();
}

void Controller::timer1Timer() {
  const std::optional<std::string> text = elapsed_.tick();
  if (!text) {
    // Past minute 546 there is nothing to show. Stop as the Stop button does rather than fail
    // again every tick; the time already shown stays, Reset starts over.
    command2Click();
    return;
  }
  window_.setLabelText(*text);
  window_.setCaption(windowTitle(*text));
}

void Controller::formKeyDown(int keyCode, int /*shift*/) {
  // Three independent tests, in this order.
  if (keyCode == keyS) {
    command1Click();
  }
  if (keyCode == keyT) {
    command2Click();
  }
  if (keyCode == keyR) {
    command3Click();
  }
}

void Controller::formUnload(std::int16_t& /*cancel*/) {
  switchOnTop(flagFalse);
}

void Controller::shortcutStartOrStop() {
  if (window_.isTimerEnabled()) {
    command2Click();
  } else {
    command1Click();
  }
}

void Controller::shortcutReset() {
  command3Click();
}

void Controller::globalShortcut(GlobalShortcut shortcut) {
  switch (shortcut) {
    case GlobalShortcut::startOrStop:
      shortcutStartOrStop();
      break;
    case GlobalShortcut::reset:
      shortcutReset();
      break;
  }
}

void Controller::switchOnTop(std::int16_t flag) {
  // Temporary copies: the switch writes its result back into them, and it is not wanted here.
  WindowHandle handle = window_.nativeWindowHandle();
  if (onTop_) {
    onTop_(handle, flag);
  }
}

}  // namespace tempulix
