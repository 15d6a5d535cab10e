#!/bin/sh
# The installed game: an install into a scratch prefix; the quillmere
# command run from an unrelated folder under a virtual display makes the
# player's folder, shows the title and ends on Escape; after a second
# install a second run keeps the player's changed config.txt and links the
# newer data. Then the Debian package: its files, its dependencies, and
# lintian, desktop-file-validate and appstreamcli.
#   with_display.sh install_test.sh BUILD_DIR
set -e
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "install test: $*" >&2
    cat "$scratch/game.log" >&2 2>/dev/null || true
    exit 1
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME="$scratch/home"
unset XDG_DATA_HOME
player=$HOME/.local/share/quillmere
mkdir -p "$scratch/elsewhere" "$HOME"
cd "$scratch/elsewhere"

[ "$("$prefix/bin/quillmere" --version)" = "quillmere $version" ] || fail "--version does not print $version"

# Starts the command, waits for the title on its window, holds Escape and
# waits for the program to end.
play_to_title() {
    "$prefix/bin/quillmere" 2>"$scratch/game.log" &
    game=$!
    window=$(timeout 20 xdotool search --sync --name '^Quillmere$' 2>/dev/null | head -1)
    [ -n "$window" ] || fail "no Quillmere window"
    lit=0
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        lit=$(import -window "$window" -format '%[fx:mean>0.02]' info: 2>/dev/null || echo 0)
        [ "$lit" = 1 ] && break
        sleep 0.5
    done
    [ "$lit" = 1 ] || fail "the window stays black: no title screen"
    xdotool windowfocus "$window" keydown Escape sleep 0.3 keyup Escape >/dev/null 2>&1
    for _ in $(seq 40); do
        kill -0 "$game" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$game" 2>/dev/null; then
        kill "$game"
        fail "Escape on the title screen does not end the program"
    fi
    wait "$game" || fail "the program ends with an error"
}

play_to_title
[ -f "$player/config.txt" ] && [ ! -L "$player/config.txt" ] || fail "no config.txt of the player's own"
[ -L "$player/qm.dat" ] && [ -L "$player/data1/game.dat" ] || fail "the data are not linked into $player"
echo "zoom = 1 # the player's" >>"$player/config.txt"
prefix=$scratch/newer
cmake --install "$build" --prefix "$prefix" >/dev/null
play_to_title
grep -q "the player's" "$player/config.txt" || fail "a second run replaced the player's config.txt"
[ "$(readlink "$player/data1/map.dat")" = "$prefix/share/quillmere/data1/map.dat" ] ||
    fail "the links do not follow the newer install"

# The package (cpack writes into a scratch folder).
command -v dpkg-deb >/dev/null || exit 0
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/quillmere_"$version"_*.deb)
files=$(dpkg-deb -c "$deb")
for path in usr/games/quillmere usr/bin/quillmere usr/games/quillmere-edit usr/lib/quillmere/quillmere \
    usr/lib/quillmere/roomedit usr/share/quillmere/qm.dat usr/share/quillmere/config.txt \
    usr/share/quillmere/data1/game.dat usr/share/quillmere/data1/map.dat \
    usr/share/applications/org.quillmere.quillmere.desktop \
    usr/share/metainfo/org.quillmere.quillmere.metainfo.xml usr/share/man/man6/quillmere.6.gz \
    usr/share/icons/hicolor/32x32/apps/quillmere.png usr/share/icons/hicolor/256x256/apps/quillmere.png; do
    echo "$files" | grep -q " \./$path" || fail "the package lacks /$path"
done
info=$(dpkg-deb --info "$deb")
echo "$info" | grep -q '^ Depends:.*liballegro4\.4' || fail "the package does not depend on liballegro4.4"
echo "$info" | grep -q '^ Depends:.*-dev' && fail "the package depends on a build package"
echo "$info" | grep -q '^ Section: games' || fail "the package is not in section games"
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian finds errors"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix"/share/applications/*.desktop || fail "the desktop entry is not valid"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.xml >/dev/null || fail "the metadata is not valid"
fi
