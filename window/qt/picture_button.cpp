#include "picture_button.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <cmath>

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
  if (toolButtonStyle() == Qt::ToolButtonIconOnly) {
    paintPictureOnly();
  } else {
    QToolButton::paintEvent(event);
  }
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

void PictureButton::paintPictureOnly() {
  // The style would shrink the picture into the space inside its frame (29 px of a 33 px
  // button); the picture keeps its designed size instead, centred over the frame, at the
  // screen's scale.
  QStylePainter painter(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  option.icon = QIcon();
  // Its face is the window-background colour (the one text fields are drawn on), which its
  // transparent picture shows through: taken from the palette at each paint, so that it follows
  // every change of colours.
  option.palette.setBrush(QPalette::Button, option.palette.base());
  painter.drawComplexControl(QStyle::CC_ToolButton, option);
  const qreal scale = devicePixelRatioF();
  const QPixmap picture =
      icon().pixmap(iconSize(), scale, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  // Centred on whole screen pixels: between them (at scale 1.5, say) it would be resampled.
  const QSizeF margin = (QSizeF(size()) - QSizeF(iconSize())) / 2;
  QPointF at(std::round(margin.width() * scale) / scale,
             std::round(margin.height() * scale) / scale);
  if (isDown()) {
    at += QPointF(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                  style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  painter.drawPixmap(at, picture);
}

}  // namespace tempulix
