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

[[ $failures -eq 0 ]] && echo "heaptool: all checks passed"
exit $((failures > 0))
