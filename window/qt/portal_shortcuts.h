// The global shortcuts of a Wayland desktop, through its XDG desktop portal's GlobalShortcuts
// (docs/desktops.md): the program registered by its app id, the shortcuts the desktop does not
// hold yet bound with their preferred keys, each press reported. The desktop keeps the keys the
// user set. Every call is asynchronous, on a D-Bus connection of its own; where no shortcut can
// be had, one line on standard error says why.
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
