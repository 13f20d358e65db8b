#include "qt_pictures.h"

#include "picture_sizes.h"

namespace tempulix {
namespace {

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
  // Loaded here, not left to Qt with addFile: Qt 6.8 loads such a file when first asked and
  // marks it with the scale of that request, then prefers drawings by that mark, so a picture
  // once shown at 125 % kept its 40 px drawing at 150 %. Given pixmaps, Qt 6.4 and 6.8 alike
  // take the smallest drawing that covers the screen pixels asked for, else the largest.
  const auto addDrawings = [&](QIcon::Mode mode) {
    icon.addPixmap(QPixmap(QStringLiteral(":/tempulix/%1.gif").arg(base)), mode);
    for (const int size : scaledPictureSizes) {
      icon.addPixmap(QPixmap(QStringLiteral(":/tempulix/scaled/%1-%2.png").arg(base).arg(size)),
                     mode);
    }
  };
  addDrawings(QIcon::Normal);
  if (sameWhenDisabled) {
    addDrawings(QIcon::Disabled);
  }
  return icon;
}

}  // namespace tempulix
