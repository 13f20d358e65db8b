# The Debian packages each command needs; sourced by the scripts that install them.
# shellcheck disable=SC2034  # used by the scripts that source this

# To build the Linux program.
build_packages=(cmake ninja-build g++ pkgconf libxcb1-dev libxcb-keysyms1-dev libxkbcommon-dev
                libxkbcommon-x11-dev qt6-base-dev fonts-liberation fonts-dejavu-core)

# The Debian source package's Build-Depends, made from these lists by scripts/debian-files.sh:
# what builds the program (g++ is build-essential, which Debian presumes), and what its tests
# that need no display need (run while the package is built, unless told nocheck).
debian_build_depends=()
for _package in "${build_packages[@]}"; do
  case "$_package" in g++ | fonts-*) ;; *) debian_build_depends+=("$_package") ;; esac
done
unset _package  # (sourced: a script's own $package stays its own)
debian_check_depends=(libgtest-dev fonts-liberation)

# To build and run every test: a virtual X server, the window managers and Wayland compositors
# the program is tried under (with Qt's Wayland plugin, which Qt would otherwise prefer), GNOME
# Shell with its desktop portal, settings daemon and Qt's GTK theme (which an ordinary install
# of Qt has, as libqt6gui6 recommends it), the
# tools that drive it from outside, the accessibility bus with a client of it and a screen
# reader (Orca, speaking through speech-dispatcher), the Debian
# packaging tools, the Windows cross builds (32-bit and 64-bit), and sudo (the tests of the
# scripts that run themselves again through it). The Wine that runs the Windows programs is in
# windows_runner_packages below.
test_packages=("${build_packages[@]}"
               libgtest-dev libgmock-dev valgrind
               xvfb xauth x11-utils x11-xkb-utils x11-xserver-utils xdotool wmctrl imagemagick
               python3-xlib procps dbus-daemon sudo
               at-spi2-core python3-pyatspi libglib2.0-bin orca speech-dispatcher
               openbox xfwm4 metacity kwin-x11 icewm fluxbox mutter kwin-wayland xwayland qt6-wayland
               gnome-shell gnome-settings-daemon gsettings-desktop-schemas dconf-service
               dconf-gsettings-backend xdg-desktop-portal xdg-desktop-portal-gnome
               xdg-desktop-portal-gtk gnome-session-common qt6-gtk-platformtheme
               build-essential dpkg-dev debhelper desktop-file-utils appstream lintian man-db diffoscope-minimal
               g++-mingw-w64-i686 g++-mingw-w64-x86-64 icoutils python3-pefile python3-pil qt6ct)

# To start an installed package on a desktop of this machine's and drive it from outside.
package_check_packages=(xvfb xauth x11-utils xdotool wmctrl imagemagick python3-xlib procps openbox)

# Whether the release has a package of this name (not merely a name others refer to). grep reads
# all of apt-cache's output: with -q it would stop at the first line, and apt-cache writing on
# would die of SIGPIPE, which a caller's pipefail takes for "no".
release_has() { apt-cache show --no-all-versions "$1" 2>/dev/null | grep '^Package:' >/dev/null; }

# What only some releases have, added to test_packages (call it where apt knows the release's
# packages): labwc (Debian 13 on), with the tools to see its picture and close its windows; KDE's
# own theme for Qt 6 (plasma-integration 6, Debian 13 on; Debian 12's is for Qt 5 alone); GNOME's
# global-shortcuts provider (Debian 13 on).
release_test_packages() {
  if release_has labwc; then
    test_packages+=(labwc grim wlrctl)
  fi
  if apt-cache show --no-all-versions plasma-integration 2>/dev/null | grep '^Depends:.*libqt6' >/dev/null; then
    test_packages+=(plasma-integration)
  fi
  # GNOME's global-shortcuts provider, which its portal's GlobalShortcuts asks (part of
  # gnome-control-center from GNOME 48 on), and zenity, a Wayland window to hold the focus.
  local version
  version=$(apt-cache show --no-all-versions gnome-control-center 2>/dev/null | sed -n 's/^Version: //p' | head -n1)
  if [ -n "$version" ] && dpkg --compare-versions "$version" ge 1:48; then
    test_packages+=(gnome-control-center zenity)
  fi
}

# The Wine that runs the Windows programs in the tests, and one line saying which programs will
# run and why: windows_runners (call it where apt knows the release's packages). 64-bit Wine runs
# the 64-bit program on any x86-64 kernel; Debian's 32-bit Wine (wine32:i386, which needs the
# i386 architecture in dpkg) is a 32-bit Linux program and runs only where the kernel runs
# 32-bit programs (scripts/kernel-runs-32-bit.sh), and only where it can be installed: the i386
# lists may fail to download, or its i386 libraries not match the amd64 ones installed (a mirror
# caught mid-sync), or no version be allowed (install-packages.sh --check finds out, and leaves
# dpkg's architectures as they were). Where it cannot be, the 32-bit program's running tests are
# skipped, as on a kernel without 32-bit support: TEMPULIX_NO_32_BIT_WINE says why
# (tests/window/win32/runnable.sh). A release with no Wine package runs neither.
windows_runners() {
  local kernel runs_32_bit=0 why
  windows_runner_packages=()
  unset TEMPULIX_NO_32_BIT_WINE
  kernel=$(bash "$(dirname "${BASH_SOURCE[0]}")/kernel-runs-32-bit.sh") || runs_32_bit=$?
  if ! release_has wine64; then
    windows_runs="Windows programs: both built and checked as files, neither run: this Debian release has no Wine package"
  elif [ "$runs_32_bit" = 0 ] &&
       why=$(bash "$(dirname "${BASH_SOURCE[0]}")/install-packages.sh" --check wine64 wine32:i386); then
    windows_runner_packages=(wine64 wine32:i386)
    windows_runs="Windows programs: the shipped 32-bit one runs under 32-bit Wine (this kernel $kernel) and the 64-bit one under 64-bit Wine"
  elif [ "$runs_32_bit" = 0 ]; then
    windows_runner_packages=(wine64)
    TEMPULIX_NO_32_BIT_WINE="this kernel $kernel, but 32-bit Wine cannot be installed ($(awk '{ out = out (NR > 1 ? "; " : "") $0 } END { printf "%s", out }' <<<"$why"))"
    export TEMPULIX_NO_32_BIT_WINE
    windows_runs="Windows programs: the 64-bit one runs under 64-bit Wine; the shipped 32-bit one is built and checked as a file but not run: $TEMPULIX_NO_32_BIT_WINE"
  else
    windows_runner_packages=(wine64)
    windows_runs="Windows programs: the 64-bit one runs under 64-bit Wine; the shipped 32-bit one is built and checked as a file but not run: this kernel $kernel"
  fi
}
