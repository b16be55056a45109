#!/usr/bin/env bash
# Runs Windows test programs under a Wine prefix and an X server of their own.
#
#   harness.sh setup   STATE_DIR [scan]     make the prefix, start Xvfb and a persistent wineserver
#   harness.sh run     STATE_DIR EXE ARGS   run one Windows program there, return its exit code
#   harness.sh cleanup STATE_DIR            stop that wineserver and that Xvfb
#
# Everything lives in STATE_DIR (inside the build tree): the prefix, the logs and state.env,
# which records the display and the PIDs so that cleanup stops exactly what setup started.
# ~/.wine and every process not started here are left alone. Every wait is bounded.
#
# While a program runs, the harness also serves root-only requests on its behalf: Wine running
# as root writes files whatever their mode bits, so a test makes a file or folder unwritable
# with `chattr +i`, which a Windows program cannot call. The program writes a request file
# (C:\kvharness\req-<n>.txt: "+i" or "-i", a line break, a path below C:\kvtest\) and
# waits for the matching done-<n>.txt; see tests/wine/driver/HarnessClient.cpp. The stress
# tests also ask for an index made by make-index.py ("index <N>") and for a small tmpfs on a
# folder ("tmpfs <KB>", "untmpfs -"): tests/wine/faults.sh does those.
#
# `setup STATE_DIR scan` makes the prefix for drive-scan tests instead: a scan walks every
# fixed and network drive, so there C: (the Windows tree, with links into $HOME) is a
# removable drive, and the only fixed and network drives are fixture trees built here:
#   D: fixed    -> trees/edge   names the scan must skip or take, a folder that cannot be
#                               listed, a link back to an ancestor
#   E: network  -> trees/net
#   F: CD-ROM   -> trees/cd     never walked
#   G: floppy   -> trees/usb    never walked
#   H: fixed    -> an empty folder until a test asks for a large tree: the request "map", the
#                  path line "H: <tree>" (or "H: -" to drop it), <tree> one of the folders
#                  below trees/ (t20k: 20,000 folders; t100k when built by bench/scan.sh;
#                  long: a chain of folders whose paths pass 260 characters; flat50k: 50,000
#                  folders side by side in the drive's root; intl: folder names that the ANSI
#                  code page cannot hold).
#
# The plain prefix gets C:\kvfixtures\index2m.dat, an index of 2,000,000 entries made by
# shared/bench/make-index.py once and kept.
# Drive types are read only when the wineserver starts, so they are fixed in the prefix; the
# drive links are read on every access, so a mapping takes effect at once.
set -u

die() { echo "harness: $*" >&2; exit 2; }

[ $# -ge 2 ] || die "usage: harness.sh setup|run|cleanup STATE_DIR [EXE ARGS...]"
ACTION=$1
STATE_DIR=$(realpath -m "$2")
shift 2
PREFIX=$STATE_DIR/prefix
STATE=$STATE_DIR/state.env

wine_env() {
    export WINEPREFIX=$PREFIX
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # The ANSI code page follows the Unix locale: C.UTF-8 gives 1252, which the tests rely on.
    export LC_ALL=C.UTF-8
    unset WINEARCH
}

# Waits up to $1 seconds for the command in the remaining arguments to succeed.
wait_for() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

free_display() {
    local n
    for n in $(seq 91 199); do
        if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then
            echo $n
            return 0
        fi
    done
    return 1
}

# The prefix's kind ("plain" or "scan") is kept in its ready mark.
prefix_ready() {
    [ -f "$PREFIX/.kovelar-ready" ] || return 1
    local kind
    kind=$(cat "$PREFIX/.kovelar-ready")
    [ "${kind:-plain}" = "$1" ]
}

drives_reg() {
    if [ "$1" = scan ]; then
        printf '%s\r\n' '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]' '"c:"="floppy"' '"d:"="hd"' \
            '"e:"="network"' '"f:"="cdrom"' '"g:"="floppy"' '"h:"="hd"'
    else
        printf '%s\r\n' '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]' '"c:"="hd"'
    fi
}

make_prefix() {
    local kind=$1
    rm -rf "$PREFIX"
    mkdir -p "$PREFIX"
    timeout 180 wineboot -i >"$STATE_DIR/wineboot.log" 2>&1 || die "wineboot failed, see $STATE_DIR/wineboot.log"
    timeout 60 wineserver -w
    # z: maps to / as a fixed drive; nothing of the tests may reach the Linux tree through it.
    rm -f "$PREFIX/dosdevices/z:"
    # Wine draws the caption buttons with Marlett, which it finds only in the prefix's own
    # fonts; without it the buttons show stray letters in screenshots.
    cp /usr/share/wine/fonts/marlett.ttf "$PREFIX/drive_c/windows/Fonts/" 2>/dev/null
    local reg=$STATE_DIR/setup.reg
    # Without a window manager the windows draw their own frames.
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '"Managed"="N"' '' >"$reg"
    drives_reg "$kind" >>"$reg"
    timeout 60 wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" >>"$STATE_DIR/wineboot.log" 2>&1
    timeout 60 wineserver -w
    echo "$kind" >"$PREFIX/.kovelar-ready"
}

TREES=$STATE_DIR/trees

# The small fixture trees of the scan prefix, built afresh at every setup (a few dozen
# folders). Names are bytes on the Linux side: Wine takes Unix names as UTF-8, so "Données"
# is written in UTF-8 and comes back from the ANSI calls as the 1252 byte E9.
make_fixture_trees() {
    rm -rf "$TREES/edge" "$TREES/net" "$TREES/cd" "$TREES/usb"
    local e=$TREES/edge
    mkdir -p "$e/Projects/tmp" "$e/Projects/Client 1/src" \
        "$e/\$Recycle.Bin/S-1-5-21/\$R0AB" "$e/\$WINDOWS.~BT/Sources" "$e/#archive/old" \
        "$e/a\$b/inner" "$e/x#1" "$e/Données/Été" "$e/.verborgen" \
        "$e/日本/unseen" "$e/cycle"
    : >"$e/Projects/readme.txt"
    : >"$e/top.txt"
    : >"$e/x#1/#notes.txt"
    # A folder reached through a link to its own ancestor: the walk follows it until the
    # path is too long for the listing call.
    ln -s ../cycle "$e/cycle/back"
    mkdir -p "$TREES/net/Share/Klanten/Noord"
    mkdir -p "$TREES/cd/Album/Disc 1"
    mkdir -p "$TREES/usb/Backup/2024"
}

# A large generated tree for H:, built once and kept, with the index that a scan of it must
# give (make-tree.py --expect) in C:\kvtrees\<name>.dat for the tests to compare.
make_large_tree() {
    local name=$1 dirs=$2 files=$3
    if [ ! -f "$TREES/$name.done" ] || [ ! -f "$TREES/$name.dat" ]; then
        rm -rf "${TREES:?}/$name"
        local maker
        maker=$(realpath -m "$(dirname "$0")/../../../shared/bench/make-tree.py")
        python3 "$maker" "$TREES/$name" "$dirs" "$files" --drive H --expect "$TREES/$name.dat" \
            >"$STATE_DIR/$name.log" 2>&1 || die "make-tree.py failed, see $STATE_DIR/$name.log"
        touch "$TREES/$name.done"
    fi
    mkdir -p "$PREFIX/drive_c/kvtrees"
    cp "$TREES/$name.dat" "$PREFIX/drive_c/kvtrees/"
}

# The trees of the scan-fault tests, built once and kept: "long", 12 nested folders of
# 30-character names (from the 9th level on the paths pass 260 characters, where the ANSI
# listing call gives up), and "flat50k", 50,000 empty folders in one directory.
make_fault_trees() {
    if [ ! -f "$TREES/long.done" ]; then
        rm -rf "${TREES:?}/long"
        local path=$TREES/long level
        for level in $(seq -w 1 12); do
            path=$path/level${level}-abcdefghijklmnopqrstuv
        done
        mkdir -p "$path" || die "cannot build trees/long"
        touch "$TREES/long.done"
    fi
    # Greek, CJK and an emoji beside a plain name: code page 1252 holds none of them. Two
    # names come back from the ANSI listing as the same run of "?"; each has a folder below.
    rm -rf "${TREES:?}/intl"
    mkdir -p "$TREES/intl/Αθήνα 2024/unseen" "$TREES/intl/日本/unseen" "$TREES/intl/中国/unseen" \
        "$TREES/intl/Foto 📷/unseen" "$TREES/intl/Plain/Inner" || die "cannot build trees/intl"
    if [ ! -f "$TREES/flat50k.done" ]; then
        rm -rf "${TREES:?}/flat50k"
        python3 -c 'import os, sys
root = sys.argv[1]
os.makedirs(root)
for i in range(50000):
    os.mkdir(os.path.join(root, "f%05d" % i))' "$TREES/flat50k" || die "cannot build trees/flat50k"
        touch "$TREES/flat50k.done"
    fi
}

# The index of 2,000,000 entries for the plain prefix's tests, made once and kept beside the
# prefix; the prefix gets a link to it (tests copy it before they let the program change it).
# Without the generator the tests that need it fail and say so; the others still run.
make_large_index() {
    local index=$STATE_DIR/index2m.dat
    if [ ! -f "$STATE_DIR/index2m.done" ] || [ ! -f "$index" ]; then
        local maker
        maker=$(realpath -m "$(dirname "$0")/../../../shared/bench/make-index.py")
        if ! timeout 240 python3 "$maker" 2000000 "$index" >"$STATE_DIR/index2m.log" 2>&1; then
            echo "harness: make-index.py failed, see $STATE_DIR/index2m.log" >&2
            rm -f "$index"
            return 0
        fi
        touch "$STATE_DIR/index2m.done"
    fi
    mkdir -p "$PREFIX/drive_c/kvfixtures"
    ln -f "$index" "$PREFIX/drive_c/kvfixtures/index2m.dat" 2>/dev/null ||
        cp -f "$index" "$PREFIX/drive_c/kvfixtures/index2m.dat"
}

# Points drive letter $1 (e.g. d:) at trees/$2.
map_drive() {
    local link=$PREFIX/dosdevices/$1
    rm -f "$link"
    ln -s "$TREES/$2" "$link"
}

# Points H: at trees/$1, or at an empty folder for "-". Wine learns the drive letters when its
# server starts, so H: always exists and only the link that it leads to changes.
map_large() {
    local target=${1/#-/empty}
    ln -sfn "$target" "$TREES/mapped-h"
}

setup_scan_drives() {
    make_fixture_trees
    make_large_tree t20k 20000 20000
    make_fault_trees
    # bench/scan.sh sets KV_LARGE_TREES=1 for the 100,000-folder tree (about 16 s to build).
    [ -n "${KV_LARGE_TREES:-}" ] && make_large_tree t100k 100000 500000
    local d
    # Only the drives listed here exist: no Z: to /, no leftovers of an earlier mapping.
    for d in "$PREFIX"/dosdevices/?: "$PREFIX"/dosdevices/?::; do
        case ${d##*/} in c:) ;; *) rm -f "$d" ;; esac
    done
    map_drive d: edge
    map_drive e: net
    map_drive f: cd
    map_drive g: usb
    mkdir -p "$TREES/empty"
    map_large -
    map_drive h: mapped-h
}

do_setup() {
    local kind=${1:-plain}
    mkdir -p "$STATE_DIR"
    [ -f "$STATE" ] && do_cleanup
    wine_env
    # A prefix survives between runs (wineboot takes half a minute); only its data folders are reset.
    prefix_ready "$kind" || make_prefix "$kind"
    [ "$kind" = scan ] && setup_scan_drives
    [ "$kind" = plain ] && make_large_index
    release_immutable
    rm -rf "$PREFIX/drive_c/kvtest" "$PREFIX/drive_c/kvharness"
    mkdir -p "$PREFIX/drive_c/kvtest" "$PREFIX/drive_c/kvharness"

    local display
    display=$(free_display) || die "no free X display"
    setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$STATE_DIR/xvfb.log" 2>&1 &
    local xvfb_pid=$!
    if ! wait_for 15 test -S "/tmp/.X11-unix/X$display"; then
        kill "$xvfb_pid" 2>/dev/null
        die "Xvfb on :$display did not start"
    fi
    {
        echo "DISPLAY=:$display"
        echo "XVFB_PID=$xvfb_pid"
    } >"$STATE"

    export DISPLAY=:$display
    # A persistent server makes each later start take milliseconds instead of half a second.
    setsid wineserver -p </dev/null >"$STATE_DIR/wineserver.log" 2>&1
    # The first program start brings up the prefix's services; do it here, not in a timed test.
    timeout 120 wine cmd /c exit 0 </dev/null >>"$STATE_DIR/wineboot.log" 2>&1
    echo "harness: prefix $PREFIX, display :$display, Xvfb $xvfb_pid"
}

# Serves the chattr requests of the running test program (see the header).
serve_requests() {
    local dir=$PREFIX/drive_c/kvharness
    local parent=$1
    # Ends with the harness, even when that is killed by a timeout.
    while kill -0 "$parent" 2>/dev/null; do
        local req
        for req in "$dir"/req-*.txt; do
            [ -f "$req" ] || continue
            local n=${req##*/req-}
            n=${n%.txt}
            local op path unix
            { IFS= read -r op; IFS= read -r path; } <"$req"
            op=${op%$'\r'}
            path=${path%$'\r'}
            local status=1
            # Only the tests' own data below C:\kvtest, and no way out of it with "..".
            case "$op:$path" in
                *..*) ;;
                map:[Hh]:\ -) map_large - && status=0 ;;
                map:[Hh]:\ *)
                    local tree=${path:3}
                    # A tree name is one plain word naming a folder below trees/.
                    if [[ $tree =~ ^[a-z0-9]+$ ]] && [ -d "$TREES/$tree" ]; then
                        map_large "$tree" && status=0
                    fi
                    ;;
                +i:[Cc]:\\kvtest\\* | -i:[Cc]:\\kvtest\\*)
                    unix=$PREFIX/drive_c/$(printf '%s' "${path:3}" | tr '\\' '/')
                    chattr "$op" "$unix" 2>>"$STATE_DIR/requests.log" && status=0
                    ;;
                index\ *:[Cc]:\\kvtest\\* | tmpfs\ *:[Cc]:\\kvtest\\* | untmpfs\ *:[Cc]:\\kvtest\\*)
                    # The stress tests' faults: a generated index, a small tmpfs (faults.sh).
                    unix=$PREFIX/drive_c/$(printf '%s' "${path:3}" | tr '\\' '/')
                    bash "$(dirname "$0")/faults.sh" "${op%% *}" "${op#* }" "$STATE_DIR" "$unix" \
                        2>>"$STATE_DIR/requests.log" && status=0
                    ;;
            esac
            echo "$op $path -> $status" >>"$STATE_DIR/requests.log"
            rm -f "$req"
            printf '%s\r\n' "$status" >"$dir/done-$n.tmp"
            mv "$dir/done-$n.tmp" "$dir/done-$n.txt"
        done
        sleep 0.05
    done
}

# Undoes every chattr +i that a test left behind (a failed test may not get to its cleanup).
release_immutable() {
    [ -d "$PREFIX/drive_c/kvtest" ] || return 0
    # A tmpfs that a stress test mounted there goes too, also when the test failed (faults.sh).
    bash "$(dirname "$0")/faults.sh" release "$PREFIX/drive_c/kvtest" 2>>"$STATE_DIR/requests.log"
    lsattr -R "$PREFIX/drive_c/kvtest" 2>/dev/null | awk '$1 ~ /i/ && NF >= 2 { $1 = ""; sub(/^ /, ""); print }' |
        while IFS= read -r f; do chattr -i "$f" 2>/dev/null; done
    chattr -i "$PREFIX/drive_c/kvtest" 2>/dev/null
    return 0
}

do_run() {
    [ -f "$STATE" ] || die "no state in $STATE_DIR: run setup first"
    [ $# -ge 1 ] || die "run needs an exe"
    # shellcheck disable=SC1090
    . "$STATE"
    export DISPLAY
    wine_env
    local exe=$1
    shift
    [ -f "$exe" ] || die "no such program: $exe (did the Windows build run?)"
    mkdir -p "$PREFIX/drive_c/kvharness"
    # The build tree lies outside every drive of the prefix: the program and its companions
    # (every .exe and .dll beside it) are copied to C:\kvbin and run from there.
    case $(realpath -m "$exe") in
        "$PREFIX"/drive_c/*) ;;
        *)
            local bin=$PREFIX/drive_c/kvbin
            local from
            from=$(dirname "$(realpath -m "$exe")")
            mkdir -p "$bin"
            cp -f "$from"/*.exe "$bin"/ 2>/dev/null
            cp -f "$from"/*.dll "$bin"/ 2>/dev/null
            exe=$bin/$(basename "$exe")
            ;;
    esac
    serve_requests $$ </dev/null >/dev/null 2>&1 &
    local server=$!
    # Windows programs start in C:\ so that Wine gives them a proper current folder. Their
    # output goes to a file, shown when they end: whatever Wine starts on their behalf (the
    # desktop process, the services) inherits their output handles and may keep them for the
    # rest of the server's life, and a pipe kept open that way makes ctest wait for its end
    # until the entry times out.
    local out
    out=$(mktemp "$STATE_DIR/run-XXXXXX.log")
    (cd "$PREFIX/drive_c" && exec timeout -k 10 "${KV_RUN_TIMEOUT:-840}" wine "$exe" "$@") \
        </dev/null >"$out" 2>&1
    local rc=$?
    cat "$out"
    rm -f "$out"
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    release_immutable
    return $rc
}

do_cleanup() {
    wine_env
    release_immutable
    if [ -f "$STATE" ]; then
        # shellcheck disable=SC1090
        . "$STATE"
        timeout 30 wineserver -k >/dev/null 2>&1
        timeout 30 wineserver -w >/dev/null 2>&1
        if [ -n "${XVFB_PID:-}" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
            kill "$XVFB_PID"
            wait_for 10 bash -c "! kill -0 $XVFB_PID 2>/dev/null" || kill -9 "$XVFB_PID" 2>/dev/null
        fi
        rm -f "$STATE"
    fi
    return 0
}

case $ACTION in
    setup) do_setup "$@" ;;
    run) do_run "$@" ;;
    cleanup) do_cleanup ;;
    *) die "unknown action $ACTION" ;;
esac
