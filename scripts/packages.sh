# The Debian packages each command needs; sourced by the scripts that install them.
# shellcheck disable=SC2034  # used by the scripts that source this

# To build the Linux program.
build_packages=(cmake ninja-build g++ pkgconf libxcb1-dev libxkbcommon-dev libxkbcommon-x11-dev
                qt6-base-dev fonts-liberation fonts-dejavu-core)

# To build and run every test: a virtual X server, the window managers and Wayland compositors
# the program is tried under (with Qt's Wayland plugin, which Qt would otherwise prefer), the
# tools that drive it from outside, the accessibility bus and a client of it, the Debian
# packaging tools, and the Windows cross build with the 32-bit Wine that runs it.
test_packages=("${build_packages[@]}"
               libgtest-dev libgmock-dev valgrind
               xvfb xauth x11-utils x11-xkb-utils x11-xserver-utils xdotool wmctrl imagemagick
               dbus-daemon
               at-spi2-core python3-pyatspi libglib2.0-bin
               openbox xfwm4 metacity kwin-x11 icewm fluxbox mutter kwin-wayland xwayland qt6-wayland
               dpkg-dev desktop-file-utils appstream lintian man-db
               g++-mingw-w64-i686 icoutils python3-pefile python3-pil wine32:i386)
# Debian 13 has labwc, and the tools to see its picture and close its windows.
if [ "$(. /etc/os-release && echo "${VERSION_ID%%.*}")" -ge 13 ] 2>/dev/null; then
  test_packages+=(labwc grim wlrctl)
fi

# To start an installed package on a desktop of this machine's and drive it from outside.
package_check_packages=(xvfb xauth x11-utils xdotool wmctrl imagemagick openbox)
