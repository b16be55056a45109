#!/usr/bin/env bash
# Screenshots for a person to look at, saved as PNG files: the result window of kovelar.exe on
# an index with 2 and with 40 matches, the settings window in each of the four languages,
# idle and during a scan of a 20,000-folder tree, and the info window's two pages in each
# language. They are taken in the harness's scan prefix
# (harness.sh setup ... scan), whose only fixed drives are its fixture trees, with Xvfb.
#
#   screenshot.sh [--dpi DPI] KOVELAR_EXE [OUT_DIR]     (OUT_DIR defaults to ./screenshots)
#
# --dpi sets the screen's DPI in the prefix (144 for a scale of 150 %), so that the pictures
# show the windows as the program scales them; the size of each window shot is printed too.
# The prefix keeps the setting: give each DPI an OUT_DIR of its own.
#
# The settings window is driven by scanclock.exe (bench/scan_clock_win.cpp), which must lie
# beside KOVELAR_EXE or in the build's tests/wine/bin (found through SCANCLOCK_EXE otherwise).
# Independent of ctest: it sets up and stops a state folder of its own beside the pictures.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
DPI=96
if [ "${1:-}" = --dpi ]; then
    DPI=${2:-}
    shift 2 || true
    [[ $DPI =~ ^[0-9]+$ ]] && [ "$DPI" -ge 48 ] && [ "$DPI" -le 480 ] ||
        { echo "screenshot.sh: --dpi takes a number from 48 to 480" >&2; exit 2; }
fi
[ $# -ge 1 ] || { echo "usage: screenshot.sh [--dpi DPI] KOVELAR_EXE [OUT_DIR]" >&2; exit 2; }
EXE=$(realpath "$1")
OUT=$(realpath -m "${2:-screenshots}")
STATE=$OUT/wine-state
mkdir -p "$OUT"

# Wine reads the screen's DPI (HKCU\Control Panel\Desktop, LogPixels) when its server starts,
# so it is written while no server runs: into the prefix of a first setup, before the setup
# that takes the pictures.
set_dpi() {
    local prefix=$STATE/prefix
    if [ ! -f "$prefix/.kovelar-ready" ]; then
        bash "$HERE/harness.sh" setup "$STATE" scan >/dev/null || exit 1
        bash "$HERE/harness.sh" cleanup "$STATE"
    fi
    local reg=$STATE/dpi.reg
    printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
        "\"LogPixels\"=dword:$(printf '%08x' "$DPI")" '' >"$reg"
    (
        export WINEPREFIX=$prefix WINEDEBUG=-all
        export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
        timeout 60 wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" >/dev/null 2>&1
        timeout 60 wineserver -w
    )
}
set_dpi

CLOCK=${SCANCLOCK_EXE:-$(dirname "$EXE")/scanclock.exe}
[ -f "$CLOCK" ] || { echo "screenshot.sh: no scanclock.exe at $CLOCK" >&2; exit 2; }

bash "$HERE/harness.sh" setup "$STATE" scan || exit 1
trap 'bash "$HERE/harness.sh" cleanup "$STATE"' EXIT
. "$STATE/state.env"
export DISPLAY WINEPREFIX=$STATE/prefix WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
DATA=$WINEPREFIX/drive_c/kvshot
mkdir -p "$DATA"
cp "$EXE" "$DATA/kovelar.exe"
cp "$CLOCK" "$DATA/scanclock.exe"
# The scan shots walk the 20,000-folder tree on H:, long enough to be caught running.
ln -sfn t20k "$STATE/trees/mapped-h"

# Prints the size of every named top-level window, as the X server has it: at 144 DPI half as
# large again as at 96.
window_sizes() {
    xwininfo -root -children 2>/dev/null |
        sed -n 's/^ *0x[0-9a-f]* "\([^"]*\)": .* \([0-9]*x[0-9]*\)+[-0-9]*+[-0-9]* .*/  "\1" \2/p'
}

# Waits up to 15 s for a top-level window whose title holds the text.
wait_window() {
    local deadline=$((SECONDS + 15))
    until xwininfo -root -tree 2>/dev/null | grep -q "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

shot() {
    local count=$1 name=$2
    : >"$DATA/kovelar.dat"
    local i
    for i in $(seq 1 "$count"); do
        printf 'C:\\PROJECTS\\CLIENT%02d\\TMP%02d\\\r\n' "$i" "$i" >>"$DATA/kovelar.dat"
    done
    printf 'C:\\WINDOWS\\\r\n' >>"$DATA/kovelar.dat"
    printf '[Gebruik]\r\nPad=C:\\kvshot\\totalcmd.exe\r\nTaal=1\r\nLaatsteUpdate=11-12-2026 13:45:07\r\n' >"$DATA/kovelar.ini"
    (cd "$DATA" && COMMANDER_PATH='C:\kvshot' exec wine "$DATA/kovelar.exe" tmp) >/dev/null 2>&1 &
    local pid=$!
    if wait_window "Kovelar ($count"; then
        sleep 1  # let the window finish painting; only the picture depends on it
        import -window root "$OUT/$name.png" && echo "saved $OUT/$name.png at $DPI DPI"
        window_sizes
    else
        echo "no result window for $count matches" >&2
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

shot 2 result-2-matches
shot 40 result-40-matches

# The settings window in language $1, idle or while a scan runs ($2), as settings-<lang>-<state>.
settings_shot() {
    local language=$1 state=$2 names=(nl en fr fy)
    local kind=settings
    case $state in help | photo) kind=info ;; esac
    local name=$kind-${names[$language]}-$state
    rm -f "$DATA/kovelar.dat" "$DATA/ready.flag" "$DATA/shot.done"
    printf '[Gebruik]\r\nPad=C:\\kvshot\\totalcmd.exe\r\nTaal=%s\r\nLaatsteUpdate=11-12-2026 13:45:07\r\nProgress=25000\r\n' \
        "$language" >"$DATA/kovelar.ini"
    (cd "$DATA" && exec wine "$DATA/scanclock.exe" --shot "$state" 'C:\kvshot\kovelar.exe' 'C:\kvshot') \
        >/dev/null 2>&1 &
    local pid=$!
    local deadline=$((SECONDS + 60))
    until [ -f "$DATA/ready.flag" ] || [ $SECONDS -ge $deadline ]; do sleep 0.2; done
    if [ -f "$DATA/ready.flag" ]; then
        sleep 1  # let the window finish painting; only the picture depends on it
        import -window root "$OUT/$name.png" && echo "saved $OUT/$name.png at $DPI DPI"
        window_sizes
    else
        echo "no settings window for $name" >&2
    fi
    touch "$DATA/shot.done"
    wait "$pid" 2>/dev/null
}

# The info window opens from the settings window, on its help page; "photo" turns the page.
for language in 0 1 2 3; do
    settings_shot "$language" idle
    settings_shot "$language" scan
    settings_shot "$language" help
    settings_shot "$language" photo
done
