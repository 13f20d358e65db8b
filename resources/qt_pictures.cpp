#include "qt_pictures.h"

#include <array>

namespace tempulix {
namespace {

// The sizes the button pictures are drawn in beside the 32 px GIF: scales 1.25, 1.5 and 2.
constexpr std::array<int, 3> scaledSizes = {40, 48, 64};

QString name(Picture picture) {
  switch (picture) {
    case Picture::start:
      return QStringLiteral("start");
    case Picture::stop:
      return QStringLiteral("stop");
    case Picture::reset:
      return QStringLiteral("reset");
    case Picture::exit:
      return QStringLiteral("exit");
    case Picture::clock:
      break;
  }
  return {};
}

}  // namespace

QIcon pictureIcon(Picture picture, bool sameWhenDisabled) {
  QIcon icon;
  if (picture == Picture::clock) {
    // The 32 px image the .ico holds, with its edge alpha (Qt's .ico reader drops the mask of
    // 24-bit images), and 64 px for scaled title bars. No larger: the window system is sent
    // every size the icon has, and launchers take theirs from the theme.
    for (const int size : {32, 64}) {
      icon.addFile(QStringLiteral(":/tempulix/icons/tempulix-%1.png").arg(size), QSize(size, size));
    }
    return icon;
  }
  const QString base = name(picture);
  for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
    if (mode == QIcon::Disabled && !sameWhenDisabled) {
      break;
    }
    icon.addFile(QStringLiteral(":/tempulix/%1.gif").arg(base), QSize(32, 32), mode);
    for (const int size : scaledSizes) {
      icon.addFile(QStringLiteral(":/tempulix/scaled/%1-%2.png").arg(base).arg(size),
                   QSize(size, size), mode);
    }
  }
  return icon;
}

}  // namespace tempulix
