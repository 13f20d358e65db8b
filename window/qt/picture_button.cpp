#include "picture_button.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

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

void PictureButton::paintEvent(QPaintEvent* event) {
  QToolButton::paintEvent(event);
  // Tool buttons draw no focus mark in every style; without one, Space and Enter would act on
  // a button the user cannot see.
  if (hasFocus()) {
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(3, 3, -3, -3);
    option.state |= QStyle::State_KeyboardFocusChange;  // some styles draw it only then
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
  }
}

}  // namespace tempulix
