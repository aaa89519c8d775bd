#!/usr/bin/env bash
# heaptool's pictures from the command line: PNG sources build every picture kind, export
# writes them back with their headers and a contact sheet, a re-import of an export gives the
# same pictures, and every failure is one line on stderr with a non-zero exit.
set -u
build=$1
source_dir=$2
tool="$build/heaptool"
pictures="$source_dir/tests/data/pictures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.bash"

cp "$pictures"/*.png "$work/"
cat >"$work/manifest.txt" <<'MANIFEST'
gla0  tile    gla0  tile.png       x=37 y=161 dx=-21 dy=-42
gla0  many    gla0  back.png       store=1
fon0  panel   fons  back.png       store=plain
fon6  back    fon6  back.png       store=3
ani0  button  ani0  btn{n}.png     frames=3 x=587 y=167 dx.1=1 dy.1=1
bitm  menumask bitm shape.png      source=panel x=4 y=2
bit6  cut6    bit6  shape.png      source=back stride=4
MANIFEST
check "build pictures" "$tool" build "$work/manifest.txt" "$work/p.heap"
"$tool" list "$work/p.heap" >"$work/list" || { echo "FAIL: list"; failures=$((failures + 1)); }
for entry in tile many panel back button menumask cut6; do
    grep -q "^$entry " "$work/list" || { echo "FAIL: $entry not listed"; failures=$((failures + 1)); }
done

check "export" "$tool" export "$work/p.heap" "$work/out"
for file in tile.png many.png panel.png back.png button.f000.png button.f001.png \
    button.f002.png menumask.png cut6.png headers.txt contact-sheet.png; do
    [[ -s "$work/out/$file" ]] || { echo "FAIL: export wrote no $file"; failures=$((failures + 1)); }
done
for line in "tile gla0 tile.png content=gla0 x=37 y=161 dx=-21 dy=-42 width=40 height=42" \
    "button ani0 button.f001.png frame=1 x=587 y=167 dx=1 dy=1 width=24 height=12" \
    "menumask bitm menumask.png content=bitm x=4 y=2 dx=0 dy=0 width=20 height=10 stride=3 source=panel" \
    "cut6 bit6 cut6.png content=bit6 x=0 y=0 dx=0 dy=0 width=20 height=10 stride=4 source=back"; do
    grep -qxF "$line" "$work/out/headers.txt" || { echo "FAIL: headers.txt lacks '$line'"; failures=$((failures + 1)); }
done
check "export into the same folder again" "$tool" export "$work/p.heap" "$work/out"

# The exported pictures, built again with the exported headers, export the same: nothing is
# lost on the way out (the palettised pictures already hold their final colours).
mkdir -p "$work/again"
cp "$work/out/"*.png "$work/again/"
cat >"$work/again/manifest.txt" <<'MANIFEST'
gla0  tile    gla0  tile.png       x=37 y=161 dx=-21 dy=-42
gla0  many    gla0  many.png
fon0  panel   fons  panel.png
fon6  back    fon6  back.png
ani0  button  ani0  button.f000.png,button.f001.png,button.f002.png x=587 y=167 dx.1=1 dy.1=1
MANIFEST
check "build from an export" "$tool" build "$work/again/manifest.txt" "$work/again.heap"
check "export the rebuilt archive" "$tool" export "$work/again.heap" "$work/out2"
for file in tile.png many.png panel.png back.png button.f000.png button.f001.png button.f002.png; do
    check "round trip of $file" cmp -s "$work/out/$file" "$work/out2/$file"
done

# Failures.
refuses "export of a missing archive" "$tool" export "$work/none.heap" "$work/x"
: >"$work/plainfile"
refuses "export into a file" "$tool" export "$work/p.heap" "$work/plainfile"
refuses "export without a folder" "$tool" export "$work/p.heap"
printf 'gla0 t gla0 tile.png\nbitm m bitm shape.png source=nowhere\n' >"$work/bad.txt"
refuses "mask with an unknown source" "$tool" build "$work/bad.txt" "$work/bad.heap"
printf 'gla0 t gla0 nothing.png\n' >"$work/bad.txt"
refuses "missing PNG" "$tool" build "$work/bad.txt" "$work/bad.heap"
printf 'gla0 t gla0 manifest.txt\n' >"$work/bad.txt"
refuses "source that is no PNG" "$tool" build "$work/bad.txt" "$work/bad.heap"
# A picture whose content is shorter than its header: noted, the rest still exported.
printf 'gla0xxxx\x01\x00\x00\x00' >"$work/short.bin"
cat >"$work/damaged.txt" <<'MANIFEST'
raw   short   gla0  short.bin
gla0  tile    gla0  tile.png
MANIFEST
check "build with a damaged picture" "$tool" build "$work/damaged.txt" "$work/d.heap"
refuses "export of a damaged picture" "$tool" export "$work/d.heap" "$work/dout"
[[ -s "$work/dout/tile.png" ]] || { echo "FAIL: the sound picture was not exported"; failures=$((failures + 1)); }
grep -q "^short gla0 damaged" "$work/dout/headers.txt" || { echo "FAIL: damage not noted"; failures=$((failures + 1)); }

if [[ $failures -ne 0 ]]; then
    echo "$failures failures"
    exit 1
fi
echo "all picture checks passed"
