#!/usr/bin/env bash
# A monkey test: the real program, built with AddressSanitizer and UBSan, on an X server of its
# own, gets random keys (menu mnemonics, Ctrl/Alt/Shift chords, function keys, Japanese text
# without an input method), clicks, drags and wheel turns anywhere in its windows, answers to its
# dialogs and saves now and then, for MINUTES (default 10):
#   fuzz/monkey.sh [MINUTES [SEED]]       (a random seed when none is given)
#   fuzz/monkey.sh --replay FILE          (the events of a finding, or of any run's events.all)
# A crash, a sanitizer report or a hang (no answer to an X ping for 10 s) is a finding: the seed,
# the last 200 events, the program's stderr (and a backtrace of a hang) are kept in a folder under
# build-asan/monkey/ (or MIREKA_MONKEY_OUT) and the exit status is 1. Prints the events sent and
# the seed. It runs as root (else it exits 77, skipped) and starts the program as the user
# mireka-monkey (made when missing) in a process namespace of its own, with private /tmp, /var/tmp,
# /run/lock and /dev/shm, HOME and the XDG folders in a scratch folder, and stubs for terminals,
# browsers, the calculator and xdg-open, so that nothing outside the scratch folder can be
# written; after the run a search of the file system for the user's files says so.
# MIREKA_MONKEY_BUILD names the build folder (default build-asan), MIREKA_MONKEY_JOBS its jobs;
# MIREKA_MONKEY_PROGRAM runs a program already built instead (without the sanitizers, only crashes
# and hangs are seen).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
    echo "fuzz/monkey.sh runs as root: it starts the program as another user"
    exit 77 # skipped, for CTest
fi
# A container may refuse the namespaces that keep the program in its scratch folder: then it
# does not run at all.
if ! unshare --mount --pid --fork --propagation private true 2>/dev/null; then
    echo "fuzz/monkey.sh needs mount and process namespaces (unshare), which this system refuses"
    exit 77
fi
source "$here/scripts/deps.sh"
# python3-xlib: the driver sends XTest input and X pings from Debian's own Python.
mireka_install "${MIREKA_BUILD_PACKAGES[@]}" xvfb python3-xlib gdb util-linux

replay=""
if [ "${1:-}" = "--replay" ]; then
    replay="$(realpath "${2:?usage: fuzz/monkey.sh --replay FILE}")"
else
    minutes="${1:-10}"
    seed="${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
fi

build="${MIREKA_MONKEY_BUILD:-$here/build-asan}"
program="${MIREKA_MONKEY_PROGRAM:-}"
if [ -z "$program" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" \
            -DMIREKA_TESTS=OFF -DMIREKA_BENCH=OFF -DMIREKA_SANITIZE=OFF >/dev/null
    fi
    nice cmake --build "$build" --target mireka -j"${MIREKA_MONKEY_JOBS:-2}" >/dev/null
    program="$build/mireka"
fi
program="$(realpath "$program")"

user=mireka-monkey
id "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"

scratch="$(mktemp -d /tmp/mireka-monkey.XXXXXX)"
chmod 755 "$scratch"
mkdir -p "$scratch"/{home/work,home/tmp,runtime,stubs,program} "$scratch/tmp/${scratch#/tmp/}" "$scratch/tmp/.X11-unix"
chmod 1777 "$scratch/tmp"
chown -R "$user:" "$scratch/home" "$scratch/runtime"
chmod 700 "$scratch/runtime"
out="${MIREKA_MONKEY_OUT:-$here/build-asan/monkey}/$(date +%Y%m%d-%H%M%S)-$$"
mkdir -p "$out"
# Whatever the program would start outside itself only says that it was asked to.
for stub in x-terminal-emulator xterm xdg-open gio sensible-browser x-www-browser www-browser \
            firefox chromium gnome-calculator kcalc mate-calc galculator qalculate-gtk \
            speedcrunch xcalc kde-open kde-open5 gnome-open gvfs-open lpr; do
    printf '#!/bin/sh\necho "$0 $*" >>"%s/home/stubs.log"\n' "$scratch" >"$scratch/stubs/$stub"
    chmod 755 "$scratch/stubs/$stub"
done
cat >"$scratch/home/work/monkey.c" <<'EOF'
#include <stdio.h>

/* 日本語のコメント */
int main(void)
{
    int i;
    for (i = 0; i < 3; i++)
        printf("%d: こんにちは\n", i);
    return 0;
}
EOF
: >"$scratch/home/work/check.c"
chown "$user:" "$scratch/home/work/"*.c

display=""
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" \
    2>"$scratch/xvfb.log" &
xvfb=$!
cleanup() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
    display="$(cat "$scratch/display")"
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "Xvfb did not start: $(cat "$scratch/xvfb.log")"; exit 2; }
export DISPLAY=":$display"

# A process namespace of its own ends whatever the program left running with it; in a mount
# namespace of its own the world-writable folders are private. The scratch folder and the X
# socket stay where they are. Leaks at exit are Qt's and fontconfig's caches, not findings:
# detect_leaks=0.
# The program's folder (with the data beside it) is seen read-only at $s/program, wherever it
# lies: under the private /tmp, or in a folder the program's user may not enter.
launch=(unshare --mount --pid --fork --kill-child --propagation private -- sh -c '
    set -e
    s="$1"; shift
    mount --bind "$(dirname "$(realpath "$1")")" "$s/program"
    mount -o remount,bind,ro "$s/program"
    mount --rbind "$s" "$s/tmp/${s#/tmp/}"
    mount --bind /tmp/.X11-unix "$s/tmp/.X11-unix"
    mount --rbind "$s/tmp" /tmp
    for d in /var/tmp /run/lock /dev/shm; do mount -t tmpfs -o size=256m,mode=1777 none "$d"; done
    cd "$s/home/work"
    setpriv --reuid mireka-monkey --regid mireka-monkey --clear-groups --no-new-privs \
        env -i PATH="$s/stubs:/usr/local/bin:/usr/bin:/bin" HOME="$s/home" USER=mireka-monkey \
        LOGNAME=mireka-monkey SHELL=/bin/sh LANG=C.UTF-8 DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
        XDG_CONFIG_HOME="$s/home/config" XDG_DATA_HOME="$s/home/data" \
        XDG_CACHE_HOME="$s/home/cache" XDG_STATE_HOME="$s/home/state" \
        XDG_RUNTIME_DIR="$s/runtime" TMPDIR="$s/home/tmp" TERMINAL="$s/stubs/xterm" \
        BROWSER="$s/stubs/x-www-browser" DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1 \
        ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:abort_on_error=0 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$s/program/$(basename "$1")" "$2"
    ' sh "$scratch")
stamp="$scratch/stamp"
touch "$stamp"

driver=(nice /usr/bin/python3 "$here/fuzz/monkey.py")
work="$scratch/home/work"
status=0
"${driver[@]}" check "$out" "$work" -- "${launch[@]}" "$program" "$work/check.c" || status=$?
if [ "$status" -ne 0 ]; then
    echo "The harness does not reach the program; see $out"
    exit 2
fi
if [ -n "$replay" ]; then
    echo "replay of $replay"
    "${driver[@]}" replay "$replay" "$out" "$work" -- "${launch[@]}" "$program" \
        "$work/monkey.c" || status=$?
else
    echo "seed $seed, $minutes minutes"
    "${driver[@]}" run "$((minutes * 60))" "$seed" "$out" "$work" -- "${launch[@]}" \
        "$program" "$work/monkey.c" || status=$?
fi

# Nothing of the program's user outside the scratch folder, and no world-writable file changed.
strays="$(find / -xdev \( -path /proc -o -path /sys -o -path "/tmp/mireka-monkey.*" \) -prune -o \
    \( -user "$user" -o \( -type f -perm -0002 -newer "$stamp" \) \) -print 2>/dev/null | head)"
if [ -n "$strays" ]; then
    echo "Written outside the scratch folder:"
    echo "$strays"
    status=2
fi
if [ "$status" -eq 0 ]; then
    rm -rf "$scratch" "$out"
else
    echo "Kept: $out (scratch folder $scratch)"
fi
exit "$status"
