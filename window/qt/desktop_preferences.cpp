#include "desktop_preferences.h"

#include "portal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QMap>
#include <QStyleHints>
#include <QVariantMap>

#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
#include <QAccessibilityHints>
#endif

namespace tempulix {
namespace {

const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString contrastKey = QStringLiteral("contrast");
// GNOME's own switch, which its portal publishes beside (and before GNOME 45, instead of) the
// contrast above.
const QString gnomeAccessibility = QStringLiteral("org.gnome.desktop.a11y.interface");
const QString gnomeHighContrastKey = QStringLiteral("high-contrast");

using SettingsByGroup = QMap<QString, QVariantMap>;

// A portal value, which may come wrapped in a variant of its own.
QVariant unwrapped(const QVariant& value) {
  return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// The portal's colour scheme, as org.freedesktop.appearance defines it: 0 no preference, 1 prefer
// dark, 2 prefer light.
SchemePreference fromPortalScheme(uint value) {
  switch (value) {
    case 1:
      return SchemePreference::dark;
    case 2:
      return SchemePreference::light;
    default:
      return SchemePreference::none;
  }
}

}  // namespace

DesktopPreferences::DesktopPreferences(QObject* parent) : QObject(parent) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
  connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this,
          &DesktopPreferences::changed);
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
  connect(QGuiApplication::styleHints()->accessibility(),
          &QAccessibilityHints::contrastPreferenceChanged, this, &DesktopPreferences::changed);
#endif

  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return;  // no session bus: Qt's own knowledge is all there is
  }
  bus.connect(portal::service, portal::path, settingsInterface, QStringLiteral("SettingChanged"),
              this, SLOT(portalSettingChanged(QString, QString, QDBusVariant)));

  qDBusRegisterMetaType<SettingsByGroup>();
  QDBusMessage readAll = QDBusMessage::createMethodCall(
      portal::service, portal::path, settingsInterface, QStringLiteral("ReadAll"));
  readAll << QStringList{appearance, gnomeAccessibility};
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(readAll), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<SettingsByGroup> reply = *call;
    if (!reply.isValid()) {
      return;  // no portal on this desktop, or none that knows these settings
    }
    const SettingsByGroup groups = reply.value();
    for (auto group = groups.begin(); group != groups.end(); ++group) {
      for (auto setting = group->begin(); setting != group->end(); ++setting) {
        takePortalValue(group.key(), setting.key(), setting.value());
      }
    }
    emit changed();
  });
}

SchemePreference DesktopPreferences::scheme() const {
  if (portalScheme_ != SchemePreference::none) {
    return portalScheme_;
  }
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
  switch (QGuiApplication::styleHints()->colorScheme()) {
    case Qt::ColorScheme::Dark:
      return SchemePreference::dark;
    case Qt::ColorScheme::Light:
      return SchemePreference::light;
    default:
      break;
  }
#endif
  return SchemePreference::none;
}

bool DesktopPreferences::highContrast() const {
#if QT_VERSION >= QT_VERSION_CHECK(6, 10, 0)
  if (QGuiApplication::styleHints()->accessibility()->contrastPreference() ==
      Qt::ContrastPreference::HighContrast) {
    return true;
  }
#endif
  return portalHighContrast_ || gnomeHighContrast_;
}

void DesktopPreferences::portalSettingChanged(const QString& group, const QString& key,
                                              const QDBusVariant& value) {
  if (group == appearance || group == gnomeAccessibility) {
    takePortalValue(group, key, value.variant());
    emit changed();
  }
}

void DesktopPreferences::takePortalValue(const QString& group, const QString& key,
                                         const QVariant& value) {
  if (group == appearance && key == colorSchemeKey) {
    portalScheme_ = fromPortalScheme(unwrapped(value).toUInt());
  } else if (group == appearance && key == contrastKey) {
    portalHighContrast_ = unwrapped(value).toUInt() == 1;
  } else if (group == gnomeAccessibility && key == gnomeHighContrastKey) {
    gnomeHighContrast_ = unwrapped(value).toBool();
  }
}

}  // namespace tempulix
