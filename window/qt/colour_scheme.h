// The colours the stopwatch is drawn in: the platform theme's own, left as they are, except where
// the desktop asks for a dark scheme and the theme hands out light colours all the same (Qt's GTK
// theme hears GNOME's dark style yet keeps GTK 3's light palette; Qt 6.4 does not hear of it at
// all). There the application gets Qt's own dark colours, until the theme's are right again. It
// never makes anything light, and it leaves alone a look the user chose (a platform theme, style
// or GTK theme named in the environment) and any high-contrast setting, where the platform's
// colours are the only ones.
#pragma once

#include <QObject>
#include <QPalette>

#include "desktop_appearance.h"

namespace tempulix::colours {

struct Situation {
  SchemePreference desktop = SchemePreference::none;
  bool highContrast = false;
  bool userChoseLook = false;   // see userChoseLook()
  bool platformIsDark = false;  // the theme's own palette, as isDark() sees it
};

enum class Choice { platform, dark };

Choice choose(const Situation& situation);

// Light text on a dark window.
bool isDark(const QPalette& palette);

// Qt's dark colours (those its own themes use for a dark desktop) for everything the window
// draws, with the platform's highlight and accent kept.
QPalette darkPalette(const QPalette& platform);

// QT_QPA_PLATFORMTHEME, QT_STYLE_OVERRIDE or GTK_THEME set: the user picked the look.
bool userChoseLook();

// Keeps a window's palette to choose() for as long as it lives: at once, and whenever the
// desktop's preferences or the platform theme change. The palette is the window's own, which its
// controls inherit over the theme's palettes for their kinds (GTK's light ones for labels and
// buttons, say); the application's palette stays the platform's, which is what is looked at.
class Follower : public QObject {
  Q_OBJECT

 public:
  // The window must outlive the follower.
  explicit Follower(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyLater();
  void apply();

  QWidget& window_;
  DesktopAppearance desktop_;
  const bool userChoseLook_;
  bool scheduled_ = false;
};

}  // namespace tempulix::colours
