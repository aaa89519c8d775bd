#!/usr/bin/env bash
# heaptool from the command line: every command round-trips, every failure is one line on
# stderr with a non-zero exit.
set -u
build=$1
tool="$build/heaptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/checks.bash"

# Inputs: text, binary with long runs, and an empty file.
for i in $(seq 1 400); do echo "line $i of the quick brown fox, $((i * i % 97)) jumps"; done >"$work/text"
{ head -c 20000 /dev/zero; seq 1 3000; head -c 5000 /dev/zero | tr '\0' 'x'; } >"$work/runs"
: >"$work/empty"
printf 'CAT\nDOGS\nHORSE\nANIMAL\nGIRAFFE\nZEBRA\n' >"$work/words.txt"

for method in 1 2 3; do
    for input in text runs empty; do
        check "pack $method $input" "$tool" pack --method $method "$work/$input" "$work/$input.$method"
        check "unpack $method $input" "$tool" unpack "$work/$input.$method" "$work/$input.$method.out"
        check "round trip $method $input" cmp -s "$work/$input" "$work/$input.$method.out"
    done
done

cat >"$work/manifest.txt" <<'MANIFEST'
# a small archive with every storage
words   words    wrds  words.txt
raw     text1    gla0  text      store=1
raw     text2    gla0  text      store=2
raw     Text3    fon6  text      store=3
raw     runs     bitm  runs
raw     plain    fon0  runs      store=plain
raw     nothing  fon0  empty
MANIFEST
check "build" "$tool" build "$work/manifest.txt" "$work/test.heap"
"$tool" list "$work/test.heap" >"$work/list" || { echo "FAIL: list"; failures=$((failures + 1)); }
for entry in words text1 text2 Text3 runs plain nothing; do
    grep -q "^$entry " "$work/list" || { echo "FAIL: list lacks $entry"; failures=$((failures + 1)); }
done
grep -q '^text1 .* 1$' "$work/list" || { echo "FAIL: text1 not method 1"; failures=$((failures + 1)); }
grep -q '^text2 .* 2$' "$work/list" || { echo "FAIL: text2 not method 2"; failures=$((failures + 1)); }
grep -q '^Text3 .* 3$' "$work/list" || { echo "FAIL: Text3 not method 3"; failures=$((failures + 1)); }
grep -q '^plain .* plain$' "$work/list" || { echo "FAIL: plain not plain"; failures=$((failures + 1)); }
for pair in text1:text text2:text Text3:text runs:runs plain:runs nothing:empty; do
    entry=${pair%%:*}
    source=${pair#*:}
    check "extract $entry" "$tool" extract "$work/test.heap" "$entry" "$work/$entry.out"
    check "extract $entry matches" cmp -s "$work/$source" "$work/$entry.out"
done
check "extract words" "$tool" extract "$work/test.heap" words "$work/words.out"
[[ $(stat -c %s "$work/words.out") -eq 96 ]] || { echo "FAIL: words are not 6 records"; failures=$((failures + 1)); }

# Failures.
refuses "no arguments" "$tool"
refuses "wrong arguments" "$tool" extract "$work/test.heap"
refuses "verify without an archive" "$tool" verify
check "--help" "$tool" --help
# The tool and the game are released together and say so.
[[ $("$tool" --version) == "heaptool $("$build/wordlark" --version | sed 's/^wordlark //')" ]] ||
    { echo "FAIL: heaptool --version is not the game's version"; failures=$((failures + 1)); }
refuses "missing manifest" "$tool" build "$work/none.txt" "$work/x.heap"
refuses "missing archive" "$tool" list "$work/none.heap"
refuses "missing entry" "$tool" extract "$work/test.heap" text4 "$work/x"
refuses "entry names are case-sensitive" "$tool" extract "$work/test.heap" text3 "$work/x"
refuses "unknown method" "$tool" pack --method 4 "$work/text" "$work/x"
refuses "missing input" "$tool" pack --method 1 "$work/none" "$work/x"
# Stored bytes that do not start a packed stream are the data themselves, as the game reads them.
check "unpack raw bytes" "$tool" unpack "$work/text" "$work/text.raw"
check "unpack raw bytes whole" cmp -s "$work/text" "$work/text.raw"
check "unpack nothing" "$tool" unpack "$work/empty" "$work/empty.raw"
check "unpack nothing whole" cmp -s "$work/empty" "$work/empty.raw"
printf '\002\020\000' >"$work/cut-stream"
refuses "stream header cut short" "$tool" unpack "$work/cut-stream" "$work/x"
head -c 30 "$work/test.heap" >"$work/short.heap"
refuses "short header" "$tool" list "$work/short.heap"
size=$(stat -c %s "$work/test.heap")
head -c $((size - 7)) "$work/test.heap" >"$work/cut.heap"
refuses "directory cut short" "$tool" list "$work/cut.heap"
printf 'CAT\nDOGS\nHORSE\nANIMAL\n' >"$work/words.txt"
refuses "word list without 7 letters" "$tool" build "$work/manifest.txt" "$work/y.heap"
printf 'CAT\nDOGS\nHORSE\nANIMAL\nGIR AFFE\n' >"$work/words.txt"
refuses "word list with a space" "$tool" build "$work/manifest.txt" "$work/y.heap"
printf 'raw x gla0 text store=9\n' >"$work/bad.txt"
refuses "bad storage option" "$tool" build "$work/bad.txt" "$work/y.heap"
printf 'picture x gla0 text\n' >"$work/bad.txt"
refuses "unknown kind" "$tool" build "$work/bad.txt" "$work/y.heap"

# Inputs that are not regular files end at once: a FIFO without a writer would hold a plain
# open for ever, so each runs under a timeout that turns a hang into a failure.
mkfifo "$work/fifo"
mkdir "$work/folder"
printf 'words words wrds words.txt\n' >"$work/good.txt"
printf 'CAT\nDOGS\nHORSE\nANIMAL\nGIRAFFE\n' >"$work/words.txt"
for kind in fifo folder; do
    input="$work/$kind"
    refuses "build from a $kind manifest" timeout 10 "$tool" build "$input" "$work/x.heap"
    for line in "raw r data $kind" "words w wrds $kind" "gla0 p gla0 $kind" "ani0 a ani0 $kind,$kind"; do
        { cat "$work/good.txt"; echo "$line"; } >"$work/m.txt"
        refuses "build with a $kind source ($line)" timeout 10 "$tool" build "$work/m.txt" "$work/x.heap"
    done
    refuses "list a $kind" timeout 10 "$tool" list "$input"
    refuses "extract from a $kind" timeout 10 "$tool" extract "$input" words "$work/x"
    refuses "export a $kind" timeout 10 "$tool" export "$input" "$work/exported"
    refuses "pack a $kind" timeout 10 "$tool" pack --method 1 "$input" "$work/x"
    refuses "unpack a $kind" timeout 10 "$tool" unpack "$input" "$work/x"
    grep -q "not a regular file" "$work/err" || { echo "FAIL: the $kind is not called so"; cat "$work/err"; failures=$((failures + 1)); }
done
ln -s test.heap "$work/link.heap"
check "list through a link" "$tool" list "$work/link.heap"

# Outputs. A full disk (a file-size limit) leaves the archive that was there whole, says so
# and leaves no temporary file.
check "build the archive to keep" "$tool" build "$work/manifest.txt" "$work/kept.heap"
cp "$work/kept.heap" "$work/kept.copy"
told=$( (ulimit -f 1; "$tool" build "$work/manifest.txt" "$work/kept.heap" 2>&1 >/dev/null; echo "exit $?") )
check "a size limit ends the build with an error, not a signal (${told##*exit })" test "${told##*exit }" -eq 1
check "a size limit is told" grep -q "cannot write $work/kept.heap: File too large" <<<"$told"
check "a size limit leaves the old archive whole" cmp -s "$work/kept.heap" "$work/kept.copy"
check "a size limit leaves no temporary file" test -z "$(ls -A "$work" | grep '^\.heaptool-')"
# An output that is the command's own input is refused, and the input stays as it was.
cp "$work/text" "$work/same"
refuses "pack onto its input" "$tool" pack --method 1 "$work/same" "$work/same"
check "pack onto its input leaves it" cmp -s "$work/text" "$work/same"
refuses "unpack onto its input" "$tool" unpack "$work/same" "$work/same"
cp "$work/test.heap" "$work/same.heap"
refuses "extract onto the archive" "$tool" extract "$work/same.heap" text1 "$work/same.heap"
check "extract onto the archive leaves it" cmp -s "$work/test.heap" "$work/same.heap"
ln -s same.heap "$work/same-link.heap"
refuses "extract onto a link to the archive" "$tool" extract "$work/same.heap" text1 "$work/same-link.heap"
printf 'raw t gla0 same\n' >"$work/same.txt"
refuses "build onto a source" "$tool" build "$work/same.txt" "$work/same"
refuses "build onto the manifest" "$tool" build "$work/same.txt" "$work/same.txt"
check "build onto a source leaves it" cmp -s "$work/text" "$work/same"
grep -q "it is the input" "$work/err" || { echo "FAIL: same file not told"; cat "$work/err"; failures=$((failures + 1)); }
# Pipes and devices are written as they are; standard output where the shell left it.
check "pack to /dev/null" "$tool" pack --method 1 "$work/text" /dev/null
{ printf 'AB'; "$tool" pack --method 2 "$work/text" /dev/stdout; } >"$work/prefixed"
"$tool" pack --method 2 "$work/text" "$work/text.plain2"
check "pack to /dev/stdout keeps what came before" cmp -s "$work/prefixed" <(printf 'AB'; cat "$work/text.plain2")
check "pack into a pipe" bash -c "'$tool' pack --method 1 '$work/text' /dev/stdout | cmp -s - '$work/text.1'"
# An input far above what the tool reads is refused from its size, before it is read: the
# sparse file costs nothing to make, but reading it takes a minute and gigabytes of memory.
truncate -s 5G "$work/sparse"
refuses "pack of a 5 GiB input" timeout 20 "$tool" pack --method 1 "$work/sparse" "$work/x"
grep -q "has 5368709120 bytes, more than" "$work/err" || { echo "FAIL: the size is not told"; cat "$work/err"; failures=$((failures + 1)); }
refuses "unpack of a 5 GiB input" timeout 20 "$tool" unpack "$work/sparse" "$work/x"
printf 'raw big data sparse\n' >"$work/sparse.txt"
refuses "build from a 5 GiB source" timeout 20 "$tool" build "$work/sparse.txt" "$work/x.heap"
rm -f "$work/sparse"
# Manifest lines the archive could not tell apart, and a kind it does not know.
printf 'raw a gla0 text\nraw a gla0 runs\n' >"$work/dup.txt"
refuses "a name used twice" "$tool" build "$work/dup.txt" "$work/y.heap"
grep -q "line 2: entry name 'a' is already used on line 1" "$work/err" || { echo "FAIL: the repeated name is not told"; cat "$work/err"; failures=$((failures + 1)); }
printf 'raw a\0b gla0 text\n' >"$work/nul.txt"
refuses "a name holding NUL" "$tool" build "$work/nul.txt" "$work/y.heap"
grep -q "line 1: entry name holds a NUL byte" "$work/err" || { echo "FAIL: the NUL is not told"; cat "$work/err"; failures=$((failures + 1)); }
printf 'picture x gla0 missing.png\n' >"$work/kind.txt"
refuses "an unknown kind with a missing source" "$tool" build "$work/kind.txt" "$work/y.heap"
grep -q "unknown kind 'picture'" "$work/err" || { echo "FAIL: the kind is not named"; cat "$work/err"; failures=$((failures + 1)); }
check "refused builds leave no archive" test ! -e "$work/y.heap"

# Checksums: one flipped bit in an entry's stored bytes is found by every command that reads
# it, and `verify` names it; the other entries still come out.
check "verify a sound archive" "$tool" verify "$work/test.heap"
grep -q '^checksums  *sums ' "$work/list" || { echo "FAIL: list lacks the checksums"; failures=$((failures + 1)); }
cp "$work/test.heap" "$work/flipped.heap"
offset=$(awk '$1 == "text1" { print $3 }' "$work/list")
flip_byte "$work/flipped.heap" $((40 + offset + 20))
refuses "extract of a flipped entry" "$tool" extract "$work/flipped.heap" text1 "$work/x"
grep -q "entry 'text1' of $work/flipped.heap is damaged: its stored bytes do not match their checksum" "$work/err" ||
    { echo "FAIL: the flipped entry is not named"; cat "$work/err"; failures=$((failures + 1)); }
check "extract of a sound entry beside it" "$tool" extract "$work/flipped.heap" text2 "$work/x"
refuses "verify of a flipped entry" "$tool" verify "$work/flipped.heap"
grep -q "entry 'text1'" "$work/err" || { echo "FAIL: verify does not name the entry"; cat "$work/err"; failures=$((failures + 1)); }

# Definitions: the senses of a word one a line, a word without an entry one line and exit 1.
printf 'defs definitions defs words.txt\n' >"$work/defs.txt"
"$tool" build "$work/defs.txt" "$work/defs.heap" >"$work/log" ||
    { echo "FAIL: build definitions"; failures=$((failures + 1)); }
grep -q '^definitions: 0 words without an entry' "$work/log" ||
    { echo "FAIL: the build log lacks the count"; cat "$work/log"; failures=$((failures + 1)); }
"$tool" define "$work/defs.heap" Dogs >"$work/out"
[[ $? -eq 0 && $(grep -c '^DOGS, noun (dog): ' "$work/out") -eq 3 ]] ||
    { echo "FAIL: define DOGS"; cat "$work/out"; failures=$((failures + 1)); }
refuses "define a word the list lacks" "$tool" define "$work/defs.heap" ZEBRAS
refuses "define from an archive without definitions" "$tool" define "$work/test.heap" CAT

[[ $failures -eq 0 ]] && echo "heaptool: all checks passed"
exit $((failures > 0))
