#!/usr/bin/env bash
# Makes the Debian package from a finished build folder and checks it as Debian and a user's system see it:
# lintian, its contents, control data and desktop files, then the programs, man pages and completion of an
# unpacked copy.
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

# lintian as Debian runs it: no error and no warning. Of its informational tags, the hardening and
# stripping ones must not come back either (the optimised build's flags, cmake/Hardening.cmake, and the
# stripped installation). As root it notes on the error output that root is not recommended.
if command -v lintian >/dev/null; then
    lintian_status=0
    lintian -I --fail-on error,warning "$deb" >"$work/lintian.log" 2>"$work/lintian.err" || lintian_status=$?
    if ((lintian_status != 0)) || grep -qE '^[EW]: |^I: [^ ]+ (hardening-|binary-has-unneeded-section|unstripped-)' \
        "$work/lintian.log"; then
        cat "$work/lintian.log" >&2
        grep -v 'running with root privileges is not recommended' "$work/lintian.err" >&2 || true
        fail "lintian (exit status $lintian_status)"
    fi
else
    fail "lintian is missing: scripts/setup.sh installs it"
fi

# Contents.
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/contents"
expected=(
    usr/bin/darv2007 usr/bin/darv2007-cli usr/bin/darv2007-install
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/darv2007.svg
    usr/share/man/man1/darv2007.1.gz usr/share/man/man1/darv2007-cli.1.gz usr/share/man/man1/darv2007-install.1.gz
    usr/share/bash-completion/completions/darv2007-cli
    usr/share/darv2007/darvlogo.jpg usr/share/darv2007/conflict.wav usr/share/darv2007/Darv2007.rtf
    usr/share/doc/darv2007/copyright usr/share/doc/darv2007/changelog.gz usr/share/lintian/overrides/darv2007
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
[[ $(dpkg-deb -f "$deb" Recommends) == *bash-completion* ]] || fail "the package does not recommend bash-completion"

# The unpacked files as a desktop and a software centre read them.
root=$work/root
dpkg -x "$deb" "$root"
# Both validators without a word: desktop-file-validate's hints and appstreamcli's pedantic ones count too.
desktop_log=$(desktop-file-validate "$root/usr/share/applications/$app_id.desktop" 2>&1) && [[ -z $desktop_log ]] ||
    fail "desktop-file-validate: $desktop_log"
if ! appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || grep -qE '^[EWIP]: ' "$work/appstream.log"; then
    cat "$work/appstream.log" >&2
    fail "appstreamcli validate --pedantic"
fi
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
# The pages tell about all the program does: the similarity check, DXF, and its files.
for page in darv2007 darv2007-cli; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null)
    for said in DXF "Similar Drawings" "similar drawings/" evidence.sqlite; do
        [[ $text == *"$said"* ]] || fail "man $page does not mention $said"
    done
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
        ((${#COMPREPLY[@]} == 0)) || printf "%s\n" "${COMPREPLY[@]}"' complete "$root/usr/share/bash-completion/completions/darv2007-cli" "$@" |
        LC_ALL=C sort | tr '\n' ' '
}
expect_completion() {
    local expected=$1
    shift
    local offered
    offered=$(complete_words "$@")
    [[ $offered == "$expected" ]] || fail "completing '$*': '$offered', not '$expected'"
}
expect_completion "collect compare " darv2007-cli co
expect_completion "--checks " darv2007-cli compare --ch
expect_completion 'CLASS\ B WEEK3 ' darv2007-cli collect ""
# Every option, and only options, that each command's help lists.
expect_completion "--age --checks --data --entity --help --percent " darv2007-cli compare WEEK3 --
expect_completion "--against --data --help --json --min --rebuild-store --share --store --template " darv2007-cli similar --
expect_completion "--help --json " darv2007-cli dwginfo --
# Values: drawings and folders for a file, folders for the data folder, projects for a project, nothing
# for a number; a single project only once.
mkdir -p "$work/files/sub folder" && touch "$work/files/a.dwg" "$work/files/B.DXF" "$work/files/notes.txt"
cd "$work/files"
expect_completion "B.DXF a.dwg sub folder " darv2007-cli similar WEEK3 --template ""
expect_completion "B.DXF a.dwg sub folder " darv2007-cli dwginfo a.dwg ""
expect_completion "sub folder " darv2007-cli similar --data ""
expect_completion "sub folder " darv2007-cli collect --data = ""
expect_completion 'CLASS\ B WEEK3 ' darv2007-cli similar WEEK3 --against ""
expect_completion "WEEK3 " darv2007-cli similar --data "$work/data" --min 60 W
expect_completion "" darv2007-cli similar WEEK3 --min ""
expect_completion "" darv2007-cli similar WEEK3 --store ""
expect_completion "" darv2007-cli similar WEEK3 ""
expect_completion "" darv2007-cli compare --percent 80 WEEK3 ""
cd "$work"

if ((failures > 0)); then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package $(basename "$deb") checked"
