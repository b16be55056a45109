#!/usr/bin/env bash
# Faults that only root on the Linux side can make, for the stress tests under Wine. harness.sh
# runs this on a test program's request (C:\kvharness\req-<n>.txt, see harness.sh); every path
# it is given lies below the prefix's drive_c/kvtest, which harness.sh has checked.
#
#   faults.sh index   N  STATE_DIR FILE   FILE becomes an index of N entries made by
#                                          shared/bench/make-index.py (made once, kept in
#                                          STATE_DIR; the plain prefix's setup keeps index2m.dat)
#   faults.sh tmpfs   KB STATE_DIR DIR    a tmpfs of KB kilobytes mounted on DIR (made if missing)
#   faults.sh untmpfs -  STATE_DIR DIR    unmounts the tmpfs on DIR
#   faults.sh release DIR                 unmounts every tmpfs below DIR: harness.sh calls it
#                                          after each program and at setup and cleanup, so that
#                                          a test that fails or is killed leaves no mount behind
#
# Exit status 0 when it was done.
set -u

die() { echo "faults: $*" >&2; exit 1; }

# The mount points below $1, deepest first (octal escapes of /proc/mounts left as they are:
# the tests' folder names hold no blanks).
mounts_below() {
    awk -v top="$1/" '$3 == "tmpfs" && index($2, top) == 1 { print $2 }' /proc/self/mounts | sort -r
}

unmount() {
    local dir=$1
    for _ in 1 2 3 4 5; do
        mountpoint -q "$dir" || return 0
        umount "$dir" 2>/dev/null && return 0
        # A Wine program that has just ended may hold a file there for a moment more.
        sleep 0.2
    done
    # Detached now, gone once nothing uses it: never leave a mount in the way of the next run.
    umount -l "$dir"
}

make_index() {
    local count=$1 state=$2 file=$3
    if ! [[ $count =~ ^[0-9]+$ ]] || [ "$count" -gt 5000000 ]; then die "bad index size $count"; fi
    local cached=$state/index-$count.dat
    # The plain prefix's setup already made the 2,000,000-entry index with the same generator.
    if [ "$count" = 2000000 ] && [ -f "$state/index2m.done" ] && [ -f "$state/index2m.dat" ]; then
        cached=$state/index2m.dat
    elif [ ! -f "$cached.done" ] || [ ! -f "$cached" ]; then
        local maker
        maker=$(realpath -m "$(dirname "$0")/../../../shared/bench/make-index.py")
        [ -f "$maker" ] || die "no generator at $maker"
        timeout 300 python3 "$maker" "$count" "$cached.part" || die "make-index.py $count failed"
        mv -f "$cached.part" "$cached"
        touch "$cached.done"
    fi
    # A copy, not a link: the tests write the file in place.
    cp -f "$cached" "$file"
}

[ $# -ge 2 ] || die "usage: faults.sh index|tmpfs|untmpfs ARG STATE_DIR PATH | release DIR"
case $1 in
    index)
        [ $# -eq 4 ] || die "index needs N STATE_DIR FILE"
        make_index "$2" "$3" "$4"
        ;;
    tmpfs)
        [ $# -eq 4 ] || die "tmpfs needs KB STATE_DIR DIR"
        if ! [[ $2 =~ ^[0-9]+$ ]] || [ "$2" -lt 8 ] || [ "$2" -gt 65536 ]; then die "bad tmpfs size $2"; fi
        mountpoint -q "$4" && die "$4 is mounted already"
        mkdir -p "$4" && mount -t tmpfs -o "size=${2}k,mode=0777" tmpfs "$4"
        ;;
    untmpfs)
        [ $# -eq 4 ] || die "untmpfs needs - STATE_DIR DIR"
        unmount "$4"
        ;;
    release)
        [ -d "$2" ] || exit 0
        status=0
        while IFS= read -r dir; do
            unmount "$dir" || status=1
        done < <(mounts_below "$(realpath -m "$2")")
        exit $status
        ;;
    *) die "unknown fault $1" ;;
esac
