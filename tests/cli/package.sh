#!/usr/bin/env bash
# The Debian package: built by scripts/make-deb (which fails on any lintian error), in the games
# layout, with the project's version and computed dependencies; installed by dpkg into a scratch
# root, the game plays from it as a user's would.
#   package.sh OUT SOURCE_DIR
set -u
out=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source_dir/tests/cli/checks.bash"
source "$source_dir/tests/cli/record.bash"
source "$source_dir/tests/cli/installed.bash"

if ! "$source_dir/scripts/make-deb" "$out" >"$work/make.log" 2>&1; then
    echo "FAIL: scripts/make-deb"
    tail -n 40 "$work/make.log"
    exit 1
fi
grep -E '^[EW]: ' "$work/make.log"
package=$(sed -n 's/^make-deb: \(.*\.deb\)$/\1/p' "$work/make.log")
check "the package was made ($package)" test -s "$package"
[[ -s $package ]] || exit 1

field() { dpkg-deb --field "$package" "$1"; }
version=$(sed -n 's/^project(Wordlark VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
check "the package has the project's version ($(field Version))" test "$(field Version)" = "$version"
check "the package is a game" test "$(field Section)" = games
# Every dependency dpkg-shlibdeps found is a package this machine has: the game runs here.
depends=$(field Depends)
check "the dependencies were computed ($depends)" grep -q 'libc6' <<<"$depends"
for name in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g'); do
    check "dependency $name is installed here" dpkg-query -W "$name" >/dev/null 2>&1
done

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch root has no libraries of its own to satisfy the dependencies; the machine does.
if ! dpkg --root="$root" --force-not-root --force-depends --force-script-chrootless \
    -i "$package" >"$work/dpkg.log" 2>&1; then
    echo "FAIL: dpkg --root could not install the package"
    cat "$work/dpkg.log"
    exit 1
fi
for file in usr/games/wordlark usr/games/heaptool usr/share/games/wordlark/vek.heap \
    usr/share/games/wordlark/vek.hlp usr/share/games/wordlark/wordlark-help.html \
    usr/share/doc/wordlark/copyright \
    usr/share/doc/wordlark/changelog.gz usr/share/man/man6/wordlark.6.gz \
    usr/share/applications/wordlark.desktop; do
    check "$file installed" test -s "$root/$file"
done
check "nothing in /usr/bin" test ! -e "$root/usr/bin"
check "the installed game's version ($("$root/usr/games/wordlark" --version))" \
    test "$("$root/usr/games/wordlark" --version)" = "wordlark $version"
play_installed "$root/usr/games/wordlark" "$root/usr"

[[ $failures -eq 0 ]] && echo "package: all checks passed"
[[ $failures -eq 0 ]]
