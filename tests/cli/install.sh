#!/usr/bin/env bash
# `cmake --install` of the build into a scratch DESTDIR: every file a desktop needs is there and
# valid, the installed programs report one version, and the installed game plays from a copy of
# its data folder without touching the install.
set -u
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source_dir/tests/cli/checks.bash"
source "$source_dir/tests/cli/record.bash"
source "$source_dir/tests/cli/installed.bash"

prefix=/usr/local
dest=$work/dest
root=$dest$prefix
if ! DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    echo "FAIL: cmake --install"
    cat "$work/install.log"
    exit 1
fi

sizes=(32 48 64 128 256)
expected=(
    bin/wordlark bin/heaptool
    share/wordlark/vek.heap share/wordlark/vek.hlp share/wordlark/wordlark-help.html
    share/applications/wordlark.desktop
    share/metainfo/org.wordlark.Wordlark.metainfo.xml
    share/man/man6/wordlark.6 share/man/man1/heaptool.1
    share/doc/wordlark/words-COPYRIGHT share/doc/wordlark/wordnet-COPYRIGHT
    share/doc/wordlark/LICENSE
)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/wordlark.png")
done
for file in "${expected[@]}"; do
    check "$file installed" test -s "$root/$file"
done
check "the programs are executable" test -x "$root/bin/wordlark" -a -x "$root/bin/heaptool"
check "the help is the one in assets/" cmp -s "$root/share/wordlark/vek.hlp" \
    "$source_dir/assets/help/vek.hlp"
check "the page the game shows is that help" cmp -s "$root/share/wordlark/wordlark-help.html" \
    "$source_dir/assets/help/vek.hlp"
check "the word list's copyright is the one in assets/" cmp -s \
    "$root/share/doc/wordlark/words-COPYRIGHT" "$source_dir/assets/words-COPYRIGHT"

# Each icon is a PNG as wide and as high as the folder it sits in says.
png_size() {  # the width and height from the IHDR chunk
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'
}
for size in "${sizes[@]}"; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/wordlark.png
    [[ -f $icon ]] || continue
    check "the $size px icon is a PNG" test "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a
    got=$(png_size "$icon")
    [[ $got == "${size}x${size}" ]] || { echo "FAIL: the $size px icon is $got"; failures=$((failures + 1)); }
done

desktop=$root/share/applications/wordlark.desktop
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1
    status=$?
    if [[ $status -ne 0 || -s $work/desktop.log ]]; then
        echo "FAIL: desktop-file-validate"
        cat "$work/desktop.log"
        failures=$((failures + 1))
    fi
else
    echo "skipped: desktop-file-validate missing (package desktop-file-utils)"
fi
check "the desktop entry starts wordlark" grep -qx 'Exec=wordlark' "$desktop"
check "the desktop entry names the icon" grep -qx 'Icon=wordlark' "$desktop"
check "the desktop entry is a game" grep -q '^Categories=\(.*;\)\?Game;' "$desktop"

metainfo=$root/share/metainfo/org.wordlark.Wordlark.metainfo.xml
if command -v appstreamcli >/dev/null; then
    if ! appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1; then
        echo "FAIL: appstreamcli validate"
        cat "$work/appstream.log"
        failures=$((failures + 1))
    fi
else
    echo "skipped: appstreamcli missing (package appstream)"
fi

for page in man6/wordlark.6 man1/heaptool.1; do
    if command -v groff >/dev/null; then
        LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$root/share/man/$page" >"$work/man.log" 2>&1
    elif command -v man >/dev/null; then
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/$page" >/dev/null 2>"$work/man.log"
    else
        echo "skipped: neither groff nor man to render $page"
        continue
    fi
    if [[ $? -ne 0 || -s $work/man.log ]]; then
        echo "FAIL: $page does not render cleanly"
        cat "$work/man.log"
        failures=$((failures + 1))
    fi
done

# One version for both programs, and it is the project's.
game_version=$("$root/bin/wordlark" --version)
tool_version=$("$root/bin/heaptool" --version)
version=$(sed -n 's/^project(Wordlark VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
check "wordlark --version is the project's ($game_version)" test "$game_version" = "wordlark $version"
check "heaptool --version is the project's ($tool_version)" test "$tool_version" = "heaptool $version"
check "the metainfo lists this version" grep -q "<release version=\"$version\"" "$metainfo"

# What the install holds, before the game plays from a copy of it.
tree_sums "$dest" >"$work/before"
data=$work/data
cp -r "$root/share/wordlark" "$data"
chmod -R u+w "$data"
printf 'type Lark\nkey return\ntick 1\ntype pw\nkey return\nstate\n' >"$work/script.txt"
if "$root/bin/wordlark" --headless --data "$data" --script "$work/script.txt" \
    --shots "$work" >"$work/out" 2>"$work/err"; then
    check "the new player is the current one" grep -q '"player":{"name":"Lark"' "$work/out"
    check "the new player's record is saved" test -s "$data/save/Lark.sav"
else
    echo "FAIL: the installed game did not play the script"
    cat "$work/err"
    failures=$((failures + 1))
fi
# Without --data the installed game finds its data beside itself and keeps the player files
# in the user's own data folder, made on first use for him alone.
play_installed "$root/bin/wordlark" "$dest"
home=$work/home
# A save folder that cannot be made is said once at start-up, and the game still plays.
printf 'not a folder' >"$work/blocked"
HOME=$home XDG_DATA_HOME=$work/blocked "$root/bin/wordlark" --headless \
    --script "$work/script.txt" --shots "$work" >"$work/out" 2>"$work/err"
status=$?
check "an unusable save folder does not stop the game (exit $status)" test "$status" -eq 0
check "an unusable save folder is said at start-up" grep -q 'cannot make' "$work/err"
check "the game still plays" grep -q '"player":{"name":"Lark"' "$work/out"

tree_sums "$dest" >"$work/after"
check "the install is unchanged after a game" cmp -s "$work/before" "$work/after"

[[ $failures -eq 0 ]] && echo "install: all checks passed"
[[ $failures -eq 0 ]]
