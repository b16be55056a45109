#!/usr/bin/env bash
# Screenshots of the result window, for a person to look at: kovelar.exe on an index with
# 2 and with 40 matches, under a Wine prefix and Xvfb of the harness, saved as PNG files.
#
#   screenshot.sh KOVELAR_EXE [OUT_DIR]     (OUT_DIR defaults to ./screenshots)
#
# Independent of ctest: it sets up and stops a state folder of its own beside the pictures.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: screenshot.sh KOVELAR_EXE [OUT_DIR]" >&2; exit 2; }
EXE=$(realpath "$1")
OUT=$(realpath -m "${2:-screenshots}")
STATE=$OUT/wine-state
mkdir -p "$OUT"

bash "$HERE/harness.sh" setup "$STATE" || exit 1
trap 'bash "$HERE/harness.sh" cleanup "$STATE"' EXIT
. "$STATE/state.env"
export DISPLAY WINEPREFIX=$STATE/prefix WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
DATA=$WINEPREFIX/drive_c/kvshot
mkdir -p "$DATA"
cp "$EXE" "$DATA/kovelar.exe"

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
        import -window root "$OUT/$name.png" && echo "saved $OUT/$name.png"
    else
        echo "no result window for $count matches" >&2
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

shot 2 result-2-matches
shot 40 result-40-matches
