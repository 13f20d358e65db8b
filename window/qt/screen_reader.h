// What the stopwatch window tells screen readers beyond what Qt tells them of its widgets: the
// window's accessible name, and short messages of its own. Form1 decides what and when: the name
// follows the title only while the stopwatch stands still (docs/accessibility.md).
#pragma once

#include <QString>
#include <QtGlobal>

class QObject;
class QWidget;

namespace tempulix::screen_reader {

// Makes screen readers see the window as a window, named by what nameOf returns for it rather
// than by its title. Install once, before the window is first asked for.
void presentAsWindow(const char* className, QString (*nameOf)(const QWidget& window));

// Tells screen readers that the window's name has changed (to what nameOf returns now).
void tellNameChanged(QWidget& window);

// Whether this build can have a screen reader say a message of the program's own: Qt 6.8 and
// later send announcements; before that Qt has no means for it.
constexpr bool canAnnounce() {
  return QT_VERSION >= QT_VERSION_CHECK(6, 8, 0);
}

// Has a screen reader say a short message, politely (after what it is saying), where
// canAnnounce(); does nothing otherwise.
void announce(QObject& source, const QString& message);

}  // namespace tempulix::screen_reader
