#include "picture_button.h"

#include <QKeyEvent>

namespace tempulix {

PictureButton::PictureButton(QWidget* parent) : QToolButton(parent) {
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setFocusPolicy(Qt::StrongFocus);
  setIconSize(QSize(32, 32));
  // The application's 9 pt default clips the caption's underline at 49 px; 8.25 pt fits.
  QFont captionFont = font();
  captionFont.setPointSizeF(8.25);
  setFont(captionFont);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
    click();
    event->accept();
    return;
  }
  QToolButton::keyPressEvent(event);
}

}  // namespace tempulix
