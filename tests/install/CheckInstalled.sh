#!/usr/bin/env bash
# Installs Mireka the way a user would, checks the installed files with the desktop's own tools
# and starts the installed program.
#   CheckInstalled.sh prefix  BUILD_DIR  -- cmake --install into a temporary prefix
#   CheckInstalled.sh package BUILD_DIR  -- cpack's Debian package, unpacked with dpkg-deb -x
set -euo pipefail
mode=$1 build=$2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$mode" = prefix ]; then
    root=$t/prefix
    cmake --install "$build" --prefix "$root" >/dev/null
else
    cpack -G DEB -B "$t/pkg" --config "$build/CPackConfig.cmake" >/dev/null
    deb=$(echo "$t"/pkg/mireka_"$version"_*.deb)
    [ -f "$deb" ] || fail "no package in $t/pkg"
    fields() { dpkg-deb -f "$deb" "$1"; }
    # Linked libraries through shlibdeps, plus what the program loads or runs by name.
    for want in libqt6widgets6 libc6 fonts-noto-cjk qt6-translations-l10n x-terminal-emulator; do
        fields Depends | grep -q "$want" || fail "Depends lacks $want: $(fields Depends)"
    done
    for want in gcc gdb manpages-ja-dev; do
        fields Recommends | grep -q "$want" || fail "Recommends lacks $want"
    done
    dpkg-deb -x "$deb" "$t/root"
    root=$t/root/usr
fi

share=$root/share
desktop-file-validate "$share/applications/mireka.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/jp.umosoftware.Mireka.metainfo.xml" ||
    fail "AppStream metainfo"
[ -f "$share/icons/hicolor/scalable/apps/mireka.svg" ] || fail "no scalable icon"
for s in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${s}x${s}/apps/mireka.png
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$size" = "${s}x${s}" ] || fail "$png is $size"
done
for page in "$share/man/man1/mireka.1" "$share/man/ja/man1/mireka.1"; do
    mandoc -T lint -W warning "$page" || fail "$page"
    ! grep -q '@[A-Z_]*@' "$page" || fail "$page has an unreplaced @VARIABLE@"
done

program=$root/bin/mireka
[ "$("$program" --version)" = "Mireka $version" ] || fail "--version"

# Started on a file by a user with an empty home, the installed program finds its shipped data
# (it copies the starter templates from there) and writes nothing under the prefix.
mkdir -p "$t/home" "$t/work"
printf '#include <stdio.h>\n\nint main(void)\n{\n\treturn 0;\n}\n' > "$t/work/hello.c"
touch "$t/stamp"
sleep 1 # file times have a second's resolution on some file systems
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME -u MIREKA_PROGRAM_DIR \
    -u MIREKA_MAN_DIR HOME="$t/home" QT_QPA_PLATFORM=offscreen "$program" "$t/work/hello.c" \
    >"$t/out.txt" 2>&1 &
pid=$!
templates="$t/home/.local/share/UMO Software/Mireka/template"
first="01 はじめてのプログラム.tpl"
for _ in $(seq 300); do
    [ -f "$templates/$first" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$t/out.txt"; fail "the program ended early"; }
    sleep 0.1
done
sleep 0.5
kill -0 "$pid" 2>/dev/null || { cat "$t/out.txt"; fail "the program ended on the file"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
cmp "$templates/$first" "$source_dir/src/resources/data/template/$first" ||
    fail "starter templates not copied from $share/mireka"
written=$(find "$root" -newer "$t/stamp")
[ -z "$written" ] || fail "written under the prefix: $written"
echo "ok: $mode"
