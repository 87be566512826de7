#!/bin/sh
# Takes a picture of the main window for review: builds the program (or uses the build
# directory given as the first argument), runs it on a private X server, pictures the setup
# dialog (screenshots/setup-dialog.png), then starts it on the built-in simulated device with
# --simulated --connect and saves screenshots/main-window.png; then the same in English
# (the files ending in -en).
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

# Waits for a shown window that `xdotool search` finds with the arguments given and prints
# its id. (Titles are matched in ASCII only: X keeps a Chinese title readable in
# _NET_WM_NAME alone.)
wait_window() {
    tries=0
    while :; do
        id="$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        tries=$((tries + 1))
        [ "$tries" -gt 100 ] && return 1
        sleep 0.1
    done
}


# Once in each language, chosen through the locale as on a user's machine:
#   language, locale, suffix of the pictures
shoot() {
    # Settings of its own, so that the dialog shows the first run's defaults and nothing is
    # kept.
    case "${XDG_CONFIG_HOME:-}" in /tmp/tmp.*) rm -rf "$XDG_CONFIG_HOME" ;; esac
    XDG_CONFIG_HOME="$(mktemp -d)"
    export XDG_CONFIG_HOME
    if [ "${SCREENSHOT_SETUP:-1}" = 1 ]; then
        LC_ALL= LANG="$2" LC_CTYPE=C.UTF-8 "$program" >"$log" 2>&1 &
        app_pid=$!
        wait_window --pid "$app_pid" >/dev/null || { echo "setup dialog did not open" >&2; exit 1; }
        sleep 0.5
        xwd -root -silent | convert xwd:- "$out/setup-dialog$3.png"
        echo "$out/setup-dialog$3.png"
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    fi

    # The main window on the built-in simulated device, without the dialog.
    LC_ALL= LANG="$2" LC_CTYPE=C.UTF-8 "$program" --simulated --connect >>"$log" 2>&1 &
    app_pid=$!
    wait_window --name Quellar >/dev/null || {
        echo "main window did not open" >&2
        exit 1
    }
    sleep 1.5
    xwd -root -silent | convert xwd:- "$out/main-window$3.png"
    echo "$out/main-window$3.png"

    # Then as the operator starts monitoring: the read button in the "系统功能" frame (the
    # window stands at the screen's top left corner on a server without a window manager).
    if [ "${SCREENSHOT_POLLING:-1}" = 1 ]; then
        xdotool mousemove 773 491 click 1
        sleep 6
        xwd -root -silent | convert xwd:- "$out/main-window-polling$3.png"
        echo "$out/main-window-polling$3.png"
    fi
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

shoot zh zh_CN.UTF-8 ''
shoot en en_US.UTF-8 -en
