#!/bin/sh
# The Wine prefix of one test run:
#   wine-prefix.sh start PREFIX   makes a fresh prefix (the old one removed) and
#                                 sets it up for unattended runs
#   wine-prefix.sh stop PREFIX    stops its wineserver and removes it
# The prefix's home folder is PREFIX/home, so the personal folder Wine links
# to $HOME stays inside the prefix.
set -e
. "$(dirname "$0")/wine-env.sh" || exit 127
action=$1
export WINEPREFIX=$2
[ -n "$action" ] && [ -n "$WINEPREFIX" ] || { echo "usage: $0 start|stop PREFIX" >&2; exit 2; }
export HOME="$WINEPREFIX/home"

stop() {
    [ -d "$WINEPREFIX" ] || return 0
    "$MC_WINESERVER" -k 2>/dev/null || true
    "$MC_WINESERVER" -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}

case "$action" in
    start)
        stop
        mkdir -p "$HOME"
        "$MC_WINE" wineboot -i >/dev/null 2>&1
        # A program that dies of an unhandled exception ends at once: no
        # debugger is started to print its state.
        "$MC_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
        "$MC_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
        ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
