#include "qt_pictures.h"

namespace tempulix {

QIcon pictureIcon(Picture picture) {
  switch (picture) {
    case Picture::start:
      return QIcon(QStringLiteral(":/tempulix/start.gif"));
    case Picture::stop:
      return QIcon(QStringLiteral(":/tempulix/stop.gif"));
    case Picture::reset:
      return QIcon(QStringLiteral(":/tempulix/reset.gif"));
    case Picture::exit:
      return QIcon(QStringLiteral(":/tempulix/exit.gif"));
    case Picture::clock: {
      // The 32 px image the .ico holds, with its edge alpha (Qt's .ico reader drops the
      // mask of 24-bit images), and 64 px for scaled title bars. No larger: the window
      // system is sent every size the icon has, and launchers take theirs from the theme.
      QIcon icon(QStringLiteral(":/tempulix/icons/tempulix-32.png"));
      icon.addFile(QStringLiteral(":/tempulix/icons/tempulix-64.png"));
      return icon;
    }
  }
  return {};
}

}  // namespace tempulix
