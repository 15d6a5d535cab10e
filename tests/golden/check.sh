#!/bin/sh
# Golden pictures: the hand-made rooms of tests/golden/world, compiled and
# rendered by the room picture tool with the game's own code, must match the
# reference PNGs pixel for pixel.
#
#   check.sh BUILD_DIR            compare (the test)
#   check.sh BUILD_DIR --refresh  rewrite the references after an intended
#                                 change of the art or the drawing, then
#                                 look at them before committing
set -e
build="$1"
[ "$2" = "--refresh" ] && REFRESH=1
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d /tmp/qm-golden-XXXXXX)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/game/data1"
cp "$build/game/qm.dat" "$work/game/"
cp "$build/game/data1/game.dat" "$work/game/data1/"
"$build/tools/worldc" --content "$here/world" --out "$work/game/data1" > /dev/null

failed=0
for shot in "1 --player 20,12,3" "2" "2 --lit"; do
    set -- $shot
    room="$1"; shift
    name="room$room$(echo "$*" | tr -d ' ,-' | sed 's/player[0-9]*/_player/; s/lit/_lit/')"
    "$build/tools/roomshot" "$work/game" "$room" "$work/$name.png" "$@"
    if [ "${REFRESH:-0}" = 1 ]; then
        cp "$work/$name.png" "$here/$name.png"
        echo "refreshed $name.png"
        continue
    fi
    if [ ! -f "$here/$name.png" ]; then
        echo "FAIL $name: no reference picture (run check.sh BUILD --refresh)"
        failed=1
        continue
    fi
    diff=$(compare -metric AE "$here/$name.png" "$work/$name.png" null: 2>&1 || true)
    if [ "$diff" != "0" ]; then
        cp "$work/$name.png" "$build/golden-$name.png"
        echo "FAIL $name: $diff pixels differ (new picture: $build/golden-$name.png)"
        failed=1
    else
        echo "ok $name"
    fi
done
exit $failed
