#!/bin/sh
# Takes a picture of the main window for review: builds the program (or uses the build
# directory given as the first argument), runs it on a private X server, pictures the setup
# dialog (screenshots/setup-dialog.png), then starts it on the built-in simulated device with
# --simulated --connect and saves screenshots/main-window.png.
#
#   scripts/screenshot.sh [build-dir]
set -eu

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-ui}"
out="$root/screenshots"
mkdir -p "$out"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug
fi
make -C "$build" -j2 motor-protector
program="$build/app/motor-protector"

if ! command -v xdotool >/dev/null 2>&1; then
    echo "installing xdotool" >&2
    apt-get install -y xdotool >/dev/null
fi
for tool in Xvfb xwd convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing" >&2; exit 1; }
done

# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done

xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "${XDG_CONFIG_HOME:-}" ] && case "$XDG_CONFIG_HOME" in /tmp/tmp.*) rm -rf "$XDG_CONFIG_HOME" ;; esac
    true
}
trap cleanup EXIT INT TERM

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb

# Wait until the server answers.
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -gt 50 ] && { echo "X server did not start" >&2; exit 1; }
    sleep 0.1
done

log="${TMPDIR:-/tmp}/motor-protector-screenshot.log"

# Waits for a window whose title is $1 and prints its id.
wait_window() {
    tries=0
    while :; do
        id="$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        tries=$((tries + 1))
        [ "$tries" -gt 100 ] && return 1
        sleep 0.1
    done
}

# Settings of its own, so that the dialog shows the first run's defaults and nothing is kept.
XDG_CONFIG_HOME="$(mktemp -d)"
export XDG_CONFIG_HOME

if [ "${SCREENSHOT_SETUP:-1}" = 1 ]; then
    "$program" >"$log" 2>&1 &
    app_pid=$!
    wait_window '通讯设置' >/dev/null || { echo "setup dialog did not open" >&2; exit 1; }
    sleep 0.5
    xwd -root -silent | convert xwd:- "$out/setup-dialog.png"
    echo "$out/setup-dialog.png"
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
fi

# The main window on the built-in simulated device, without the dialog.
"$program" --simulated --connect >>"$log" 2>&1 &
app_pid=$!

wait_window '马达保护控制器演示软件-Quellar' >/dev/null || {
    echo "main window did not open" >&2
    exit 1
}
sleep 1.5
xwd -root -silent | convert xwd:- "$out/main-window.png"
echo "$out/main-window.png"

# Then as the operator starts monitoring: "读实时数据↑" in the "系统功能" frame (the window
# stands at the screen's top left corner on a server without a window manager).
if [ "${SCREENSHOT_POLLING:-1}" = 1 ]; then
    xdotool mousemove 773 491 click 1
    sleep 6
    xwd -root -silent | convert xwd:- "$out/main-window-polling.png"
    echo "$out/main-window-polling.png"
fi
