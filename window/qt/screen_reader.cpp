#include "screen_reader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace tempulix::screen_reader {
namespace {

const char* windowClassName = nullptr;
QString (*windowName)(const QWidget&) = nullptr;

// A plain top-level widget is a filler to Qt, which screen readers do not present as a window.
class AccessibleWindow : public QAccessibleWidget {
 public:
  explicit AccessibleWindow(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      return windowName(*widget());
    }
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* create(const QString& className, QObject* object) {
  if (windowClassName && className == QLatin1String(windowClassName) && object->isWidgetType()) {
    return new AccessibleWindow(static_cast<QWidget*>(object));
  }
  return nullptr;
}

}  // namespace

void presentAsWindow(const char* className, QString (*nameOf)(const QWidget& window)) {
  if (!windowClassName) {
    QAccessible::installFactory(create);
  }
  windowClassName = className;
  windowName = nameOf;
}

void tellNameChanged(QWidget& window) {
  QAccessibleEvent event(&window, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void announce(QObject& source, const QString& message) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent event(&source, message);
  event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
  QAccessible::updateAccessibility(&event);
#else
  Q_UNUSED(source);
  Q_UNUSED(message);
#endif
}

}  // namespace tempulix::screen_reader
