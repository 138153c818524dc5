# Installs the Debian packages Mireka needs when any is missing. Sourced by run.sh and test.sh.
mireka_install() {
    local wanted=("$@") missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The C library reference of the manual viewer is made from the Japanese manual pages (English
# where a page has no translation), rendered by mandoc. rsvg-convert renders the icons when
# building.
MIREKA_BUILD_PACKAGES=(build-essential cmake qt6-base-dev libgl-dev qt6-translations-l10n fonts-noto-cjk
                       manpages-dev manpages-ja-dev mandoc librsvg2-bin)
# mandoc also renders the fixture pages of the reference's test.
# Xvfb and xdotool: tests that start the program itself on an X server and type into it;
# python3-xlib: the monkey test's driver.
# The desktop validators and dpkg-dev (cpack's shlibdeps): the install and package tests.
MIREKA_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev gdb poppler-utils mandoc xvfb xdotool
                      python3-xlib desktop-file-utils appstream dpkg-dev)
