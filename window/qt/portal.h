// Where the XDG desktop portal answers on the session bus: the service and object that carry
// every portal interface (settings, global shortcuts, the app registry).
#pragma once

#include <QString>

namespace tempulix::portal {

inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");

}  // namespace tempulix::portal
