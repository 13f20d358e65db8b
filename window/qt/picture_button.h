// A push button with its picture centred above its caption, as the stopwatch's buttons are, or
// with its picture alone at its full size, on the window-background colour. It takes the focus by
// Tab and by click, and Enter clicks it as Space does.
#pragma once

#include <QToolButton>

namespace tempulix {

class PictureButton : public QToolButton {
  Q_OBJECT

 public:
  explicit PictureButton(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintPictureOnly();
};

}  // namespace tempulix
