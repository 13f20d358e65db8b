// The global shortcuts of a Wayland desktop, through its XDG desktop portal's GlobalShortcuts
// (GNOME 48 on, KDE Plasma 5.27 on): the program is made known by its app id (the host-
// application registry, xdg-desktop-portal 1.19 on), a session is created, the shortcuts the
// desktop does not hold yet are bound with their preferred keys, and each press is reported.
// The desktop asks the user and keeps the keys; nothing here overrides a key the user set.
// Every call is asynchronous, on a D-Bus connection of its own (the registration must be the
// first portal call on its connection), so the GUI thread never waits for the portal. Where no
// shortcut can be had, one line on standard error says why. It does not act on a press itself.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "global_shortcuts.h"
#include "portal_shortcut_terms.h"

class QDBusObjectPath;
class QDBusPendingCall;

namespace tempulix {

class PortalShortcuts : public QObject {
  Q_OBJECT

 public:
  // Starts at once. appId is the name of the program's desktop file, without ".desktop".
  explicit PortalShortcuts(const QString& appId, QObject* parent = nullptr);
  ~PortalShortcuts() override;

 signals:
  // A shortcut was pressed, wherever the keyboard focus is.
  void activated(tempulix::GlobalShortcut shortcut);

 private slots:
  void portalActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                       const QVariantMap& options);

 private:
  using Answer = std::function<void(uint response, const QVariantMap& results)>;

  void registerApp();
  void createSession();
  void listShortcuts();
  void bindShortcuts();
  // After a bind granted with nothing listed (KDE Plasma 6 answers so after its dialog; 5.27 so
  // where it bound nothing), whether the session holds them now.
  void confirmBound();
  void takeListing(const QVariantMap& results);
  // Calls a portal method that answers through a Request: its Response is listened for before
  // the call goes out, on the path the handle_token makes. onError gets a D-Bus error reply.
  void request(const QString& method, QList<QVariant> arguments, QVariantMap options, Answer answer,
               std::function<void(const QDBusError&)> onError);
  void fail(portal::Failure failure, const QString& detail = {});

  QString appId_;
  QDBusConnection bus_;
  QString session_;            // the session's handle, once created
  QString registrationError_;  // what the registry said, where it did not take the app id
  bool said_ = false;
};

}  // namespace tempulix
