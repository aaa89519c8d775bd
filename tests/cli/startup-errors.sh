#!/usr/bin/env bash
# What start-up says about unusable data: one line on stderr naming what failed (the archive,
# the entry whose damage stopped the archive being read, or the word list), a non-zero exit,
# and never a hang. Headless start-up goes through the shell alone; the windowed one says the
# same before it looks for a display.
set -u
build=$1
game="$build/wordlark"
tool="$build/heaptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.bash"
printf 'tick 1\n' >"$work/one.txt"

says() {  # says DESCRIPTION TEXT: the last refusal's line holds TEXT
    grep -qF -- "$2" "$work/err" || { echo "FAIL: $1 does not say '$2'"; cat "$work/err"; failures=$((failures + 1)); }
}

# Both start-ups on the data folder DIR must refuse with one line holding TEXT.
refuses_data() {  # refuses_data DESCRIPTION DIR TEXT
    refuses "$1 (headless)" timeout 10 "$game" --headless --data "$2" --script "$work/one.txt"
    says "$1 (headless)" "$3"
    refuses "$1 (window)" timeout 10 env -u DISPLAY -u WAYLAND_DISPLAY "$game" --data "$2"
    says "$1 (window)" "$3"
}

# A copy of the built archive with one entry's record moved past the end of the file. The
# directory is packed, so it is unpacked with heaptool and written back plain.
damage_entry() {  # damage_entry DIR ENTRY
    mkdir -p "$1"
    python3 - "$build/vek.heap" "$1/vek.heap" "$2" "$tool" <<'PY'
import struct, subprocess, sys, tempfile, os
source, target, entry, tool = sys.argv[1:]
data = bytearray(open(source, "rb").read())
offset, count, stored, _ = struct.unpack_from("<4I", data, 24)
with tempfile.TemporaryDirectory() as scratch:
    packed, plain = os.path.join(scratch, "dir.in"), os.path.join(scratch, "dir.out")
    open(packed, "wb").write(data[offset:offset + stored])
    subprocess.run([tool, "unpack", packed, plain], check=True)
    directory = bytearray(open(plain, "rb").read())
assert len(directory) == count * 40
for i in range(count):
    if directory[i * 40 + 20:i * 40 + 36].split(b"\0")[0] == entry.encode():
        struct.pack_into("<I", directory, i * 40 + 8, 0x7FFFFF00)
        break
else:
    sys.exit("no entry " + entry)
struct.pack_into("<I", data, 32, len(directory))
open(target, "wb").write(bytes(data[:offset]) + bytes(directory))
PY
}

# The archive that is not a regular file, or not there at all.
mkdir -p "$work/fifo" "$work/folder/vek.heap" "$work/missing"
mkfifo "$work/fifo/vek.heap"
refuses_data "a FIFO as the archive" "$work/fifo" "$work/fifo/vek.heap is not a regular file (it is a FIFO)"
refuses_data "a folder as the archive" "$work/folder" "$work/folder/vek.heap is not a regular file (it is a folder)"
refuses_data "a missing archive" "$work/missing" "cannot open $work/missing/vek.heap"

# A damaged header.
mkdir -p "$work/short"
head -c 30 "$build/vek.heap" >"$work/short/vek.heap"
refuses_data "a header cut short" "$work/short" "the header of $work/short/vek.heap is damaged"

# A picture the game screen loads before the words: its damage, not the word list, is named.
damage_entry "$work/picture" chars
refuses "a damaged picture" timeout 10 "$game" --headless --data "$work/picture" --script "$work/one.txt"
says "a damaged picture" "entry 'chars' of $work/picture/vek.heap is damaged"

# The word list damaged, and missing.
damage_entry "$work/badwords" words
refuses_data "a damaged word list" "$work/badwords" "entry 'words' of $work/badwords/vek.heap is damaged"
mkdir -p "$work/nowords"
printf 'raw other wrds m\n' >"$work/m.txt"
printf 'x' >"$work/m"
"$tool" build "$work/m.txt" "$work/nowords/vek.heap"
refuses_data "an archive without words" "$work/nowords" "$work/nowords/vek.heap holds no word list (entry 'words')"

# A start-up that fails makes nothing: no save folder beside a missing archive, and none of
# the folders of a mistyped path, however long.
mkdir -p "$work/noarchive"
refuses_data "a folder without the archive" "$work/noarchive" "cannot open $work/noarchive/vek.heap"
check "no save folder beside a missing archive" test ! -e "$work/noarchive/save"
refuses_data "a missing nested folder" "$work/typo/a/b/c" "cannot open $work/typo/a/b/c/vek.heap"
check "no folder of a mistyped path is made" test ! -e "$work/typo"
long=$(printf 'x/%.0s' {1..30000})
(cd "$work" && timeout 10 "$game" --headless --data "$long" --script "$work/one.txt" >/dev/null 2>&1)
check "no folder of a 30000-folder path is made" test ! -e "$work/x"

[[ $failures -eq 0 ]] && echo "startup-errors: all checks passed"
exit $((failures > 0))
