// What the desktop asks its programs to look like: light or dark, and higher contrast or not, as
// the XDG desktop portal's settings and Qt's platform theme tell it. It listens and reports, and
// changes no colour itself; every question to the portal is asynchronous.
#pragma once

#include <QDBusVariant>
#include <QObject>

namespace tempulix {

enum class SchemePreference { none, light, dark };

class DesktopPreferences : public QObject {
  Q_OBJECT

 public:
  // Asks the portal once and listens for its changes, and for Qt's.
  explicit DesktopPreferences(QObject* parent = nullptr);

  // The portal's answer where it gave one (1 dark, 2 light), else Qt's; none until either knows.
  SchemePreference scheme() const;
  // Where the portal, GNOME or Qt says the user wants higher contrast.
  bool highContrast() const;

 signals:
  // Something above may have changed (not sent for each value that stays the same).
  void changed();

 private slots:
  void portalSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

 private:
  void takePortalValue(const QString& group, const QString& key, const QVariant& value);

  SchemePreference portalScheme_ = SchemePreference::none;
  bool portalHighContrast_ = false;
  bool gnomeHighContrast_ = false;
};

}  // namespace tempulix
