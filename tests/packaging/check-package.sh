#!/usr/bin/env bash
# Makes the Debian package from a finished build folder and checks it as a user's system sees it: its
# contents, control data and desktop files, then the programs, man pages and completion of an unpacked copy.
# Usage: check-package.sh CPACK BUILD_FOLDER APP_ID VERSION
set -euo pipefail

cpack=$1 build=$2 app_id=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=$(echo "$work"/out/darv2007_"$version"_*.deb)
[[ -f $deb ]] || { echo "no package darv2007_${version}_*.deb was made" >&2; exit 1; }

# Contents.
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/contents"
expected=(
    usr/bin/darv2007 usr/bin/darv2007-cli usr/bin/darv2007-install
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/darv2007.svg
    usr/share/man/man1/darv2007.1.gz usr/share/man/man1/darv2007-cli.1.gz usr/share/man/man1/darv2007-install.1.gz
    usr/share/bash-completion/completions/darv2007-cli
    usr/share/darv2007/darvlogo.jpg usr/share/darv2007/conflict.wav usr/share/darv2007/Darv2007.rtf
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/darv2007.png")
done
for path in "${expected[@]}"; do
    grep -qxF "./$path" "$work/contents" || fail "the package lacks /$path"
done

# Control data: the libraries come from dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6multimedia6 libstdc++6 fonts-liberation; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[[ $(dpkg-deb -f "$deb" Package) == darv2007 ]] || fail "the package is not named darv2007"

# The unpacked files as a desktop and a software centre read them.
root=$work/root
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo has no release entry for $version"
for png in "$root"/usr/share/icons/hicolor/*/apps/darv2007.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    # Width and height of a PNG: big-endian at bytes 16 and 20.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    drawn="$((w0 << 24 | w1 << 16 | w2 << 8 | w3))x$((h0 << 24 | h1 << 16 | h2 << 8 | h3))"
    [[ $drawn == "$size" ]] || fail "the $size icon is $drawn"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$(basename "$page"): $warnings"
done

# The installed programs, without a display, with their own settings store and data home.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for program in darv2007 darv2007-cli darv2007-install; do
    answer=$("$root/usr/bin/$program" --version 2>&1) || fail "$program --version failed: $answer"
    [[ $answer == "$program $version" ]] || fail "$program --version says '$answer'"
done
# The installer takes the resources from the installed share/darv2007 beside it.
printf '{\\rtf1 as installed}' >"$root/usr/share/darv2007/about.rtf"
"$root/usr/bin/darv2007-install" --data "$work/data" >/dev/null || fail "the installed darv2007-install failed"
cmp -s "$root/usr/share/darv2007/about.rtf" "$work/data/resources/about.rtf" ||
    fail "darv2007-install did not take the installed resources"

# The completion: commands from the program's help, options, and the projects of the data folder.
printf '"WEEK3"\r\n"CLASS B"\r\n' >"$work/data/projects/projects.fil"
complete_words() {
    PATH="$root/usr/bin:$PATH" bash -c '
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _darv2007_cli 2>/dev/null
        printf "%s\n" "${COMPREPLY[@]}"' complete "$root/usr/share/bash-completion/completions/darv2007-cli" "$@" |
        sort | tr '\n' ' '
}
[[ $(complete_words darv2007-cli co) == "collect compare " ]] || fail "completing 'co': $(complete_words darv2007-cli co)"
[[ $(complete_words darv2007-cli compare --ch) == "--checks " ]] || fail "completing '--ch'"
[[ $(complete_words darv2007-cli collect "") == 'CLASS\ B WEEK3 ' ]] ||
    fail "completing projects: $(complete_words darv2007-cli collect "")"

if ((failures > 0)); then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package $(basename "$deb") checked"
