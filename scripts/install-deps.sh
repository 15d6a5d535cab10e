#!/bin/sh
# Installs the Debian packages the game, its tools and its tests need.
# Quiet and quick when everything is already there.
set -e

PACKAGES="build-essential cmake pkg-config liballegro4-dev libloadpng4-dev libx11-dev \
libtomlplusplus-dev libgtest-dev libgmock-dev libbenchmark-dev \
xvfb xdotool x11-utils x11-apps imagemagick clang libclang-rt-dev cloc \
lintian desktop-file-utils appstream"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" != "0" ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
