#!/bin/sh
# Whole-game CPU: runs the built game at zoom 3 under a fresh virtual
# display, starts a game with Space (room 84), lets it settle, then reads the
# process's user and kernel clock ticks over a stretch of play.
# Usage: bench/game_cpu.sh [BUILD_DIR] [SECONDS]
# Instead of sleeping through the stretch it can record it:
#   PERF_OUT=file     a perf profile with call graphs
#   PERF_EVENT=event  a perf count (e.g. a probe on present_frame)
#   STRACE_OUT=file   a count of system calls
#   SHOT=file.png     a picture of the screen at the end
set -e
if [ "$1" = --inside ]; then
    cd "$2"
    ./quillmere >/dev/null 2>&1 &
    PID=$!
    WIN=$(timeout 10 xdotool search --sync --name '^Quillmere$' | head -1)
    # Space now and then: the first press starts the game, later ones jump
    # (a press can be lost to the library's keyboard race).
    for press in 1 2 3; do
        xdotool windowfocus "$WIN" keydown space
        sleep 0.1
        xdotool windowfocus "$WIN" keyup space
        sleep 0.5
    done
    sleep 2
    U0=$(awk '{print $14}' /proc/$PID/stat); S0=$(awk '{print $15}' /proc/$PID/stat)
    if [ -n "$PERF_OUT" ]; then
        perf record -g -o "$PERF_OUT" -p $PID -- sleep "$3" >/dev/null 2>&1
    elif [ -n "$STRACE_OUT" ]; then
        timeout "$3" strace -c -f -o "$STRACE_OUT" -p $PID >/dev/null 2>&1 || true
    elif [ -n "$PERF_EVENT" ]; then
        perf stat -e "$PERF_EVENT" -p $PID -- sleep "$3" 2>&1 | grep "$PERF_EVENT"
    else
        sleep "$3"
    fi
    U1=$(awk '{print $14}' /proc/$PID/stat); S1=$(awk '{print $15}' /proc/$PID/stat)
    [ -n "$SHOT" ] && import -window root "$SHOT"
    kill $PID
    awk -v u=$((U1 - U0)) -v s=$((S1 - S0)) -v hz="$(getconf CLK_TCK)" -v t="$3" 'BEGIN {
        printf "user %.2f s + kernel %.2f s in %d s: %.1f%% of a core, %.0f%% of it in the kernel\n",
               u / hz, s / hz, t, 100 * (u + s) / hz / t, (u + s) ? 100 * s / (u + s) : 0 }'
    exit 0
fi
BUILD=$(realpath "${1:-build}")
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
cp -rs "$BUILD/game/." "$DIR"
sed -i 's/^zoom = .*/zoom = 3/' "$DIR/config.txt"
"$(dirname "$0")/../tests/e2e/with_display.sh" "$(realpath "$0")" --inside "$DIR" "${2:-20}"
