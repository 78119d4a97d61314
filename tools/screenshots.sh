#!/usr/bin/env bash
# Starts the built program under Xvfb, clicks through both views and the About dialog with real
# mouse clicks, and saves screenshots for the README into docs/screenshots/.
#   tools/screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
OUT=docs/screenshots
PROGRAM="$BUILD_DIR/bin/quenbry"
[ -x "$PROGRAM" ] || { echo "build the program first: $PROGRAM is missing" >&2; exit 1; }
mkdir -p "$OUT"

SCRATCH=$(mktemp -d)
DISPLAY_NUMBER=${DISPLAY_NUMBER:-93}
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -nolisten tcp >"$SCRATCH/xvfb.log" 2>&1 &
XVFB=$!
PID=""
cleanup() {
    [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$SCRATCH"
}
trap cleanup EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

TMPDIR="$SCRATCH" QT_QPA_PLATFORM=xcb "$PROGRAM" &
PID=$!
WINDOW=""
for _ in $(seq 100); do
    WINDOW=$(xdotool search --pid "$PID" --onlyvisible 2>/dev/null | head -n 1 || true)
    [ -n "$WINDOW" ] && break
    sleep 0.1
done
[ -n "$WINDOW" ] || { echo "the program's window did not appear" >&2; exit 1; }
sleep 0.5

# Window-relative click, as a user would do it.
click() {
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.6
}
shot() {
    import -window "$1" "$OUT/$2"
    echo "saved $OUT/$2"
}

xdotool mousemove 1000 900
shot "$WINDOW" list-view.png
click 230 55                          # the Output tab
xdotool mousemove 1000 900
sleep 0.3
shot "$WINDOW" output-view.png
click 40 486                          # the About label
ABOUT=$(xdotool search --name '^About' 2>/dev/null | tail -n 1)
[ -n "$ABOUT" ] || { echo "the About dialog did not appear" >&2; exit 1; }
shot "$ABOUT" about.png
xdotool key --window "$ABOUT" Escape
sleep 0.3
click 607 10                          # the close picture
wait "$PID"
PID=""
echo "the program closed"
