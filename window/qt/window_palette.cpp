#include "window_palette.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <array>
#include <string>

namespace tempulix::palette {

Choice choose(const Situation& situation) {
  if (situation.highContrast || situation.userChoseLook || situation.platformIsDark) {
    return Choice::platform;
  }
  return situation.desktop == SchemePreference::dark ? Choice::dark : Choice::platform;
}

bool isDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightnessF() <
         palette.color(QPalette::WindowText).lightnessF();
}

QPalette darkPalette(const QPalette& platform) {
  // The values of Qt's Fusion palette for a dark desktop; GTK's Adwaita dark is within a few
  // steps of them.
  const QColor text(240, 240, 240);
  const QColor window(50, 50, 50);
  const QColor base = window.darker(140);
  const QColor disabledText(130, 130, 130);
  QPalette dark = platform;
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = group == QPalette::Disabled;
    dark.setColor(group, QPalette::Window, window);
    dark.setColor(group, QPalette::Button, window);
    dark.setColor(group, QPalette::Base, disabled ? window : base);
    dark.setColor(group, QPalette::AlternateBase, base.lighter(110));
    dark.setColor(group, QPalette::WindowText, disabled ? disabledText : text);
    dark.setColor(group, QPalette::ButtonText, disabled ? disabledText : text);
    dark.setColor(group, QPalette::Text, disabled ? disabledText : text);
    dark.setColor(group, QPalette::BrightText, Qt::white);
    dark.setColor(group, QPalette::Light, window.lighter(150));
    dark.setColor(group, QPalette::Midlight, window.darker(130).lighter(110));
    dark.setColor(group, QPalette::Mid, window.darker(130));
    dark.setColor(group, QPalette::Dark, window.darker(150));
    dark.setColor(group, QPalette::Shadow, window.darker(150).darker(135));
    dark.setColor(group, QPalette::HighlightedText, text);
    dark.setColor(group, QPalette::ToolTipBase, window);
    dark.setColor(group, QPalette::ToolTipText, text);
    QColor placeholder = text;
    placeholder.setAlpha(128);
    dark.setColor(group, QPalette::PlaceholderText, placeholder);
    dark.setColor(group, QPalette::Link, platform.color(group, QPalette::Highlight).lighter(150));
  }
  return dark;
}

bool userChoseLook(const LookVariables& variables) {
  if (!variables.style.empty() || !variables.gtkTheme.empty()) {
    return true;
  }
  // Qt's names for its GTK 3 theme (gnome loads it too), its desktop-portal theme (flatpak and
  // snap are the same), and its plain one.
  constexpr std::array<std::string_view, 7> withoutPalette = {
      "", "gtk3", "gnome", "xdgdesktopportal", "flatpak", "snap", "generic"};
  return std::find(withoutPalette.begin(), withoutPalette.end(), variables.platformTheme) ==
         withoutPalette.end();
}

bool userChoseLook() {
  const std::string platformTheme = qgetenv("QT_QPA_PLATFORMTHEME").toLower().toStdString();
  const std::string style = qgetenv("QT_STYLE_OVERRIDE").toStdString();
  const std::string gtkTheme = qgetenv("GTK_THEME").toStdString();
  return userChoseLook({platformTheme, style, gtkTheme});
}

Follower::Follower(QWidget& window) : window_(window), userChoseLook_(userChoseLook()) {
  connect(&desktop_, &DesktopPreferences::changed, this, &Follower::applyLater);
  // A theme that changes its colours tells each window.
  window_.installEventFilter(this);
  apply();
}

bool Follower::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ThemeChange) {
    applyLater();
  }
  return QObject::eventFilter(watched, event);
}

void Follower::applyLater() {
  // After the event at hand: Qt tells of a new colour scheme before it has made the new palette,
  // and one change arrives by several ways at once.
  if (!scheduled_) {
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &Follower::apply, Qt::QueuedConnection);
  }
}

void Follower::apply() {
  scheduled_ = false;
  const QPalette platform = QApplication::palette();
  const Situation situation{desktop_.scheme(), desktop_.highContrast(), userChoseLook_,
                            isDark(platform)};
  // An empty palette gives the window back the platform's.
  window_.setPalette(choose(situation) == Choice::dark ? darkPalette(platform) : QPalette());
}

}  // namespace tempulix::palette
