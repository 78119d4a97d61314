#!/usr/bin/env bash
# Starts the built program under Xvfb and uses it as a person would, with real mouse clicks and
# typing: both views, the About dialog, adding two generated clips, converting them. Saves
# screenshots for the README into docs/screenshots/ and checks the converted files.
#   tools/screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
OUT=docs/screenshots
PROGRAM="$BUILD_DIR/bin/quenbry"
[ -x "$PROGRAM" ] || { echo "build the program first: $PROGRAM is missing" >&2; exit 1; }
mkdir -p "$OUT"

SCRATCH=$(mktemp -d)
# Xvfb picks a free display itself and tells its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$SCRATCH/display" >"$SCRATCH/xvfb.log" 2>&1 &
XVFB=$!
PID=""
cleanup() {
    [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$SCRATCH"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$SCRATCH/display" ] && break; sleep 0.1; done
[ -s "$SCRATCH/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$SCRATCH/display")"

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

# Window-relative click, as a user would do it: click_in WINDOW X Y, or click X Y in the main one.
click_in() {
    local WINDOW X Y WIDTH HEIGHT SCREEN # the geometry must not replace the caller's WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
    sleep 0.6
}
click() {
    click_in "$WINDOW" "$1" "$2"
}
shot() {
    import -window "$1" "$OUT/$2"
    echo "saved $OUT/$2"
}

# Waits for a top-level window whose title matches $1 and prints its id.
await_window() {
    local found=""
    for _ in $(seq 300); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
        [ -n "$found" ] && break
        sleep 0.1
    done
    [ -n "$found" ] || { echo "no window titled $1 appeared" >&2; exit 1; }
    echo "$found"
}
# Types a path into the focused file name field of Qt's open dialog and confirms it.
choose_file() {
    local dialog
    dialog=$(await_window '^Open')
    sleep 0.5
    xdotool windowfocus --sync "$dialog" type --delay 5 "$1"
    sleep 0.3
    xdotool key Return
    sleep 1
    # The name field's completion list may outlive the dialog on a bare X server.
    xdotool key Escape
    sleep 0.3
}

CLIPS="$SCRATCH/My Videos"
mkdir -p "$CLIPS"
for clip in "Summer trip.avi:testsrc2" "Birthday.mov:smptebars"; do
    name=${clip%%:*}
    source=${clip##*:}
    ffmpeg -nostdin -loglevel error -f lavfi -i "$source=size=320x240:rate=25:duration=5" \
        -f lavfi -i "sine=frequency=440:duration=5" -c:v mpeg4 -q:v 4 -c:a pcm_s16le \
        "$CLIPS/$name"
done

xdotool mousemove 1000 900
shot "$WINDOW" list-view.png
click 230 55                          # the Output tab
xdotool mousemove 1000 900
sleep 0.3
shot "$WINDOW" output-view.png
click 40 486                          # the About label
ABOUT=$(await_window '^About')
shot "$ABOUT" about.png
click_in "$ABOUT" 244 237           # Continue
sleep 0.3

click 110 55                          # back to the video list
click 530 197                         # Add file
choose_file "$CLIPS/Summer trip.avi"
click 530 197
choose_file "$CLIPS/Birthday.mov"
eval "$(xdotool getwindowgeometry --shell "$WINDOW" | grep -E '^(X|Y)=')"
xdotool mousemove "$((X + 530))" "$((Y + 249))"   # rest on Delete: its hint shows
sleep 0.5
shot "$WINDOW" list-with-videos.png

click 230 55                          # the Output tab
TARGET="$SCRATCH/PSP videos/"
click 150 363                         # the output folder field
xdotool key ctrl+a
xdotool type --delay 5 "$TARGET"
click 530 439                         # GO
INFO=$(await_window '^Information')
sleep 0.3
# The box lies over the window: take the screen and cut the window's area out of it.
eval "$(xdotool getwindowgeometry --shell "$WINDOW" | grep -E '^(X|Y)=')"
import -window root "$SCRATCH/screen.png"
convert "$SCRATCH/screen.png" -crop "630x530+$X+$Y" +repage "$OUT/finished.png"
echo "saved $OUT/finished.png"
xdotool windowfocus --sync "$INFO" key Return
QUESTION=$(await_window '^Quenbry$')
sleep 0.3
xdotool windowfocus --sync "$QUESTION" key n   # No: do not open the folder
sleep 0.5

for converted in "Summer trip.mp4" "Birthday.mp4"; do
    probe=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height \
        -of csv=p=0 "file:$TARGET$converted")
    echo "$converted: $probe"
    [ "$probe" = "mpeg4,320,240" ] || { echo "unexpected output for $converted" >&2; exit 1; }
done

[ -x "$SCRATCH/Quenbry/av" ] || { echo "the work folder holds no encoder" >&2; exit 1; }
click 607 10                          # the close picture
wait "$PID"
PID=""
echo "the program closed"
[ -d "$SCRATCH/Quenbry" ] && [ -z "$(ls -A "$SCRATCH/Quenbry")" ] \
    || { echo "the work folder was not emptied, or is gone" >&2; exit 1; }
echo "the work folder is empty and still there"
