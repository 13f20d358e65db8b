// The palette the stopwatch's window is drawn in, decided and applied: the platform theme's own,
// except Qt's own dark colours where the desktop asks for dark and the theme still hands out light
// ones (docs/accessibility.md). It never makes anything light, and leaves alone a look the user
// chose and any high contrast.
#pragma once

#include <QObject>
#include <QPalette>
#include <string_view>

#include "desktop_preferences.h"

namespace tempulix::palette {

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

// The look variables of the environment, as the user or the session set them.
struct LookVariables {
  std::string_view platformTheme;  // QT_QPA_PLATFORMTHEME
  std::string_view style;          // QT_STYLE_OVERRIDE
  std::string_view gtkTheme;       // GTK_THEME
};

// Whether they name a look of the user's own: a style, a GTK theme, or a platform theme that
// brings a palette of its own (qt6ct's, KDE's, or one unknown here). Qt's GTK and portal themes
// bring none: sessions set them for dialogs and fonts, and their colours are GTK's or Qt's
// defaults, not a choice.
bool userChoseLook(const LookVariables& variables);
// The same of the program's environment.
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
  DesktopPreferences desktop_;
  const bool userChoseLook_;
  bool scheduled_ = false;
};

}  // namespace tempulix::palette
