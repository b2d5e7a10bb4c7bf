#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; does nothing when all are
# present. The end-to-end tests run the program in Xvfb with openbox and drive it through XTest,
# read the pointer's shape through XFixes and set a German keyboard layout with setxkbmap; the
# player view's scenario needs two monitors side by side, which only the real X server gives
# (its dummy driver, split in two by xrandr);
# clang and its runtime libraries build the fuzz targets, clang-format checks the formatting. The
# live map serves its page with Qt's WebSockets, shows its link as a QR code (libqrencode) and
# draws the map with Leaflet (libjs-leaflet, built into the program); its page tests run in a
# headless Chromium. ISA-L (libisal) inflates PNG pictures and checks their chunks' checksums
# several times faster than zlib, which libpng would use. `make package` builds a Debian package
# with CPack (dpkg-shlibdeps comes with build-essential); lintian, desktop-file-validate,
# appstreamcli and update-mime-database (shared-mime-info) check it.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-translations-l10n
    qt6-websockets-dev libqrencode-dev libjs-leaflet
    libexpat1-dev libpng-dev zlib1g-dev libjpeg62-turbo-dev libisal-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
    xvfb openbox libx11-dev libxtst-dev libxfixes-dev x11-xkb-utils
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    clang-14 libclang-rt-14-dev clang-format
    chromium
    lintian desktop-file-utils appstream shared-mime-info
)
if [ "${1:-}" = "--with-display" ]; then
    packages+=(xauth)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
