#!/bin/sh
# Draws the read-me's pictures with the game's own code from a built game
# folder: the castle map reduced to read-me size, three rooms as the player
# sees them, and the walkthrough's first seconds of play as an animated GIF.
#   sh scripts/make-docs.sh BUILD_DIR OUT_DIR
# `make docs` writes them into docs/; the tests write them into a scratch
# folder and compare. The same content always gives the same bytes.
set -e
build=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
MAP_WIDTH=1400
PLAY_SECONDS=7
# Where the game starts, a torch-lit crypt, the grounds outside the walls.
ROOMS="84:66,74,3 58:10,38,3 153:25,20,3"

mkdir -p "$out"
# shellcheck disable=SC2086 # the rooms are separate arguments
"$build/tools/castlemap" "$build/game" "$out" --map-width $MAP_WIDTH $ROOMS
"$build/tools/playreel" "$build/game" "$out/play.gif" $PLAY_SECONDS \
    "$root/content/walkthrough/1-grounds.txt"
