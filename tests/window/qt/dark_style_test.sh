#!/usr/bin/env bash
# The program under GNOME Shell (run it under with_desktop.sh gnome-shell) follows GNOME's Dark
# style, as the user switches it in the settings (gsettings), at start and while it runs: the
# window is dark under Dark style, light under the default, and dark again, its exit button on
# the window's colour each time. Seen in the shell's own screenshots. Arguments: the command that
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

close_window
await_end
[ "$status" = 0 ] || fail "after closing: $status"
echo "$failures failed"
[ "$failures" = 0 ]
