# Sourced by the Wine scripts: finds Wine's 64-bit loader and server whatever
# this system calls them (wine64 on the path, Debian's /usr/lib/wine/wine64
# behind the wine wrapper, or plain wine) and keeps Wine quiet and headless.
# Sets MC_WINE and MC_WINESERVER; returns 1 when there is no Wine.

mc_first_program() {
    for candidate in "$@"; do
        found=$(command -v "$candidate" 2>/dev/null) && [ -x "$found" ] && { echo "$found"; return 0; }
    done
    return 1
}

MC_WINE=$(mc_first_program wine64 /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /opt/wine-stable/bin/wine64 wine) ||
    { echo "Wine is not installed (wine64)" >&2; return 1; }
MC_WINESERVER=$(mc_first_program wineserver /usr/lib/wine/wineserver64 /usr/lib64/wine/wineserver64 \
    /opt/wine-stable/bin/wineserver) || { echo "wineserver is not installed" >&2; return 1; }

# The loader started directly (not through Debian's wrapper) must know itself.
case "$MC_WINE" in
    */wine64) export WINELOADER="${WINELOADER:-$MC_WINE}" ;;
esac
export WINEDEBUG="${WINEDEBUG:--all}"
# No display: Wine's windows stay invisible and never wait for one.
unset DISPLAY WAYLAND_DISPLAY
