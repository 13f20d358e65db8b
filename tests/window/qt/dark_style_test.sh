#!/usr/bin/env bash
# The program under GNOME Shell (run it under with_desktop.sh gnome-shell) follows GNOME's Dark
# style, as the user switches it in the settings (gsettings), at start and while it runs: the
# window is dark under Dark style, light under the default, and dark again, its exit button on
# the window's colour each time; under high contrast it has the platform's colours alone; a
# platform theme without a palette of its own (Qt's GTK and portal themes) changes none of that,
# and a look the user chose wins. Seen in the shell's own screenshots. Arguments: the command that
# starts the program.
set -u
program=("$@")
. "$(dirname "$(readlink -f "$0")")/../x11_helpers.sh"

style() { gsettings set org.gnome.desktop.interface color-scheme "$1"; }
# What the desktop portal tells programs now: 0 no preference, 1 dark.
portal_says() {
  gdbus call --session --timeout 5 --dest org.freedesktop.portal.Desktop \
    --object-path /org/freedesktop/portal/desktop --method org.freedesktop.portal.Settings.Read \
    org.freedesktop.appearance color-scheme 2>/dev/null | grep -q "uint32 $1>"
}
shot_looks() {
  gdbus call --session --timeout 5 --dest org.gnome.Shell --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$work/screen.png" >/dev/null 2>&1 &&
    client_looks "$1"
}
# Waits for the look (ten seconds at most) and keeps the screenshot as $work/NAME.png.
expect_look() {
  if within 10 shot_looks "$1"; then pass "$2: $1 ($looks_said)"; else fail "$2: not $1 ($looks_said)"; fi
  cp "$work/screen.png" "$work/$3.png" 2>/dev/null
}

style prefer-dark
within 10 portal_says 1 || fail "the portal does not tell of Dark style"
launch || { fail "no window appeared"; cat "$work/stderr"; exit 1; }
expect_look dark "started under Dark style" dark-start
style default
within 10 portal_says 0 || fail "the portal does not tell of the default style"
expect_look light "switched to the default style while running" light-live
style prefer-dark
expect_look dark "switched back to Dark style" dark-live
# High contrast: the platform's colours and none of the program's own, whatever the style (GNOME's
# GTK 3 theme for Qt stays light Adwaita); dark again when it goes.
contrast() { gsettings set org.gnome.desktop.a11y.interface high-contrast "$1"; }
contrast true
expect_look light "high contrast switched on under Dark style: the platform's colours" contrast-live
contrast false
expect_look dark "high contrast switched off" dark-again

closes_cleanly

# A platform theme that sessions name for other reasons than colours brings no palette of its
# own: the window follows the style as without it, at start and live.
plain=("${program[@]}")
for theme in gtk3 xdgdesktopportal; do
  program=(env QT_QPA_PLATFORMTHEME=$theme "${plain[@]}")
  launch || { fail "no window with QT_QPA_PLATFORMTHEME=$theme"; continue; }
  expect_look dark "QT_QPA_PLATFORMTHEME=$theme, started under Dark style" "$theme-dark-start"
  style default
  expect_look light "QT_QPA_PLATFORMTHEME=$theme, switched to the default style" "$theme-light-live"
  style prefer-dark
  expect_look dark "QT_QPA_PLATFORMTHEME=$theme, switched back to Dark style" "$theme-dark-live"
  closes_cleanly "QT_QPA_PLATFORMTHEME=$theme"
done

# A style the user names wins, and so does a platform theme with the user's own palette (qt6ct,
# here with none set: its style's light one): under Dark style the window is as the style or
# theme and the platform draw it (light here), with nothing of the program's own on top.
for chosen in QT_STYLE_OVERRIDE=Fusion QT_QPA_PLATFORMTHEME=qt6ct; do
  program=(env "$chosen" "${plain[@]}")
  launch || { fail "no window with $chosen"; continue; }
  expect_look light "$chosen, under Dark style" "chosen-${chosen%%=*}"
  close_window
  await_end
done
echo "$failures failed"
[ "$failures" = 0 ]
