#include "portal_shortcuts.h"

#include "portal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QList>
#include <QPointer>
#include <QRandomGenerator>
#include <cstdio>
#include <utility>

namespace tempulix {
namespace {

const QString registryInterface = QStringLiteral("org.freedesktop.host.portal.Registry");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
// A connection of this program's own, named so among Qt's connections.
const QString connectionName = QStringLiteral("tempulix-global-shortcuts");

// One shortcut as the portal carries it: (sa{sv}), an id and its options.
struct PortalShortcut {
  QString id;
  QVariantMap options;
};

}  // namespace
}  // namespace tempulix

Q_DECLARE_METATYPE(tempulix::PortalShortcut)

namespace tempulix {
namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.options;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.options;
  argument.endStructure();
  return argument;
}

// The path a request's Response comes from: the caller's unique name without its ':' and with
// '_' for each '.', then the token.
QString requestPath(const QString& uniqueName, const QString& token) {
  QString sender = uniqueName.mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return portal::path + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

// A token that is new on this connection (letters, digits and '_', as object paths allow).
QString newToken() {
  static unsigned int count = 0;
  return QStringLiteral("tempulix%1_%2").arg(++count).arg(QRandomGenerator::global()->generate());
}

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool noSuchMethod(const QDBusError& error) {
  return error.type() == QDBusError::UnknownMethod ||
         error.type() == QDBusError::UnknownInterface || error.type() == QDBusError::UnknownObject;
}

// No portal installed, or one that could not be started.
bool noService(const QDBusError& error) {
  return error.type() == QDBusError::ServiceUnknown ||
         error.name().startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn"));
}

std::vector<portal::Listed> listedIn(const QVariantMap& results) {
  std::vector<portal::Listed> listed;
  const QVariant value = results.value(QStringLiteral("shortcuts"));
  if (value.userType() != qMetaTypeId<QDBusArgument>()) {
    return listed;
  }
  const auto shortcuts = qdbus_cast<QList<PortalShortcut>>(value.value<QDBusArgument>());
  for (const PortalShortcut& shortcut : shortcuts) {
    listed.push_back(
        {shortcut.id.toStdString(),
         shortcut.options.value(QStringLiteral("trigger_description")).toString().toStdString()});
  }
  return listed;
}

// Waits for one Request's Response, then hands it on and goes.
class PortalResponse : public QObject {
  Q_OBJECT

 public:
  using Answer = std::function<void(uint, const QVariantMap&)>;

  PortalResponse(QDBusConnection bus, const QString& path, Answer answer, QObject* parent)
      : QObject(parent), bus_(std::move(bus)), answer_(std::move(answer)) {
    listenAt(path);
  }

  // Where the portal names another path for the request than the one expected.
  void listenAt(const QString& path) {
    bus_.connect(portal::service, path, requestInterface, QStringLiteral("Response"), this,
                 SLOT(answered(uint, QVariantMap)));
    paths_.append(path);
  }

 private slots:
  void answered(uint response, const QVariantMap& results) {
    for (const QString& path : std::as_const(paths_)) {
      bus_.disconnect(portal::service, path, requestInterface, QStringLiteral("Response"), this,
                      SLOT(answered(uint, QVariantMap)));
    }
    deleteLater();
    answer_(response, results);
  }

 private:
  QDBusConnection bus_;
  Answer answer_;
  QStringList paths_;
};

}  // namespace

PortalShortcuts::PortalShortcuts(const QString& appId, QObject* parent)
    : QObject(parent),
      appId_(appId),
      bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
  if (!bus_.isConnected()) {
    fail(portal::Failure::noSessionBus);
    return;
  }
  bus_.connect(portal::service, portal::path, shortcutsInterface, QStringLiteral("Activated"), this,
               SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
  registerApp();
}

PortalShortcuts::~PortalShortcuts() {
  // The portal closes the session, and lets go of its keys, when the connection goes.
  QDBusConnection::disconnectFromBus(connectionName);
}

void PortalShortcuts::registerApp() {
  QDBusMessage call = QDBusMessage::createMethodCall(portal::service, portal::path,
                                                     registryInterface, QStringLiteral("Register"));
  call << appId_ << QVariantMap();
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
    done->deleteLater();
    const QDBusPendingReply<> reply = *done;
    if (reply.isError()) {
      if (noService(reply.error())) {
        fail(portal::Failure::noPortal, reply.error().message());
        return;
      }
      // A portal before 1.19 has no registry and finds the app id by itself, if at all; one that
      // does not take this id (its desktop file not installed) may still offer the shortcuts.
      if (!noSuchMethod(reply.error())) {
        registrationError_ = reply.error().message();
      }
    }
    createSession();
  });
}

void PortalShortcuts::createSession() {
  QVariantMap options{{QStringLiteral("session_handle_token"), newToken()}};
  request(
      QStringLiteral("CreateSession"), {}, options,
      [this](uint response, const QVariantMap& results) {
        if (const auto failure = portal::failureOfResponse(response)) {
          fail(*failure, registrationError_);
          return;
        }
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        // A string, as the portal's documentation has it; an object path from some backends.
        session_ = handle.userType() == qMetaTypeId<QDBusObjectPath>()
                       ? handle.value<QDBusObjectPath>().path()
                       : handle.toString();
        listShortcuts();
      },
      [this](const QDBusError& error) {
        if (noService(error)) {
          fail(portal::Failure::noPortal, error.message());
        } else if (noSuchMethod(error)) {
          fail(portal::Failure::noGlobalShortcuts);
        } else {
          fail(portal::Failure::refused, error.message());
        }
      });
}

void PortalShortcuts::listShortcuts() {
  request(
      QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(session_))}, {},
      [this](uint response, const QVariantMap& results) {
        if (response != 0 || portal::needsBinding(listedIn(results))) {
          bindShortcuts();
        } else {
          takeListing(results);
        }
      },
      // A desktop that cannot list them may still bind them.
      [this](const QDBusError&) { bindShortcuts(); });
}

void PortalShortcuts::bindShortcuts() {
  QList<PortalShortcut> shortcuts;
  for (const GlobalShortcutInfo& info : globalShortcuts) {
    const QVariantMap options{{QStringLiteral("description"), fromView(info.description)},
                              {QStringLiteral("preferred_trigger"),
                               QString::fromStdString(portal::preferredTrigger(info))}};
    shortcuts.append({fromView(info.id), options});
  }
  request(
      QStringLiteral("BindShortcuts"),
      {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
       QString()},  // no parent window: the desktop places its dialog itself
      {},
      [this](uint response, const QVariantMap& results) {
        const std::vector<portal::Listed> listed = listedIn(results);
        const auto failure = portal::failureOfBind(response, listed);
        if (failure == portal::Failure::noKeys) {
          fail(*failure);
        } else if (failure) {
          fail(*failure, registrationError_);
        } else if (!portal::anyOursListed(listed)) {
          confirmBound();
        }
      },
      [this](const QDBusError& error) { fail(portal::Failure::refused, error.message()); });
}

void PortalShortcuts::confirmBound() {
  request(
      QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(session_))}, {},
      [this](uint response, const QVariantMap& results) {
        const std::vector<portal::Listed> listed = listedIn(results);
        if (response == 0 && portal::anyOursListed(listed)) {
          takeListing(results);
        } else if (response == 0) {
          fail(portal::Failure::notBound, registrationError_);
        }
      },
      [](const QDBusError&) {});  // it cannot list them: it granted them, that is all it tells
}

void PortalShortcuts::takeListing(const QVariantMap& results) {
  if (const auto failure = portal::failureOfListing(listedIn(results))) {
    fail(*failure);
  }
}

void PortalShortcuts::request(const QString& method, QList<QVariant> arguments, QVariantMap options,
                              Answer answer, std::function<void(const QDBusError&)> onError) {
  const QString token = newToken();
  options.insert(QStringLiteral("handle_token"), token);
  arguments.append(options);
  const QString path = requestPath(bus_.baseService(), token);
  // (Guarded: a Response that came first has taken it away.)
  const QPointer<PortalResponse> response = new PortalResponse(bus_, path, std::move(answer), this);

  QDBusMessage call =
      QDBusMessage::createMethodCall(portal::service, portal::path, shortcutsInterface, method);
  call.setArguments(arguments);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [response, path, onError = std::move(onError)](QDBusPendingCallWatcher* done) {
            done->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *done;
            if (reply.isError()) {
              if (response) {
                response->deleteLater();
              }
              onError(reply.error());
            } else if (response && reply.value().path() != path) {
              response->listenAt(reply.value().path());
            }
          });
}

void PortalShortcuts::portalActivated(const QDBusObjectPath& session, const QString& id,
                                      qulonglong /*timestamp*/, const QVariantMap& /*options*/) {
  if (session_.isEmpty() || session.path() != session_) {
    return;
  }
  if (const auto shortcut = portal::shortcutNamed(id.toStdString())) {
    emit activated(*shortcut);
  }
}

void PortalShortcuts::fail(portal::Failure failure, const QString& detail) {
  if (said_) {
    return;
  }
  said_ = true;
  std::fputs(portal::unavailableLine(failure, detail.toStdString()).c_str(), stderr);
}

}  // namespace tempulix

#include "portal_shortcuts.moc"
