#!/bin/bash
# compare-anagram.sh -- the analysis list (every word of the shipped list a 12-letter set
# allows) against Debian's `an` (or `wordplay` when `an` is missing) on the same sets.
#
# Usage: bench/compare-anagram.sh BUILD_DIR [SETS] [SEED]
#
# AnagramTool deals SETS joker-free sets with a fixed seed and lists each set's words with
# our enumeration; the Debian tool lists them from assets/words.txt. The two word sets must
# agree (case-folded) for every letter set. Printed per set: the number of words, our time
# (in-process, list already loaded), the Debian tool's time per run (a whole process that
# reads the list each time) and that time less its start-up (the same tool on a one-letter
# set); then the totals and both ratios.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [SETS] [SEED]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
sets=${2:-20}
seed=${3:-20240607}
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
words=$source_dir/assets/words.txt
tool=$build/AnagramTool
[ -x "$tool" ] || { echo "$0: $tool is missing (build the AnagramTool target)" >&2; exit 1; }

# Debian installs both tools in /usr/games, which is not always on the PATH.
PATH=$PATH:/usr/games
if command -v an >/dev/null; then
    name=an
    list_words() { an -w -m 1 -d "$words" "$1"; }
elif command -v wordplay >/dev/null; then
    name=wordplay
    list_words() { wordplay "$1" -slxv -n1 -f "$words"; }
else
    echo "$0: neither an nor wordplay is installed" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" "$words" "$sets" "$seed" "$work" >"$work/ours.txt"

now_us() { echo $(($(date +%s%N) / 1000)); }
# Best of three runs, in microseconds; the output of the last run goes to $2.
time_tool() {
    local best=0 start took
    for _ in 1 2 3; do
        start=$(now_us)
        list_words "$1" >"$2"
        took=$(($(now_us) - start))
        if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    echo "$best"
}

startup=$(time_tool Q "$work/startup.out")

printf '%-4s %-14s %6s %10s %12s %12s\n' set letters words "ours us" "$name us" "$name-start"
total_ours=0
total_theirs=0
total_net=0
mismatches=0
while read -r i letters ours_us count; do
    theirs_us=$(time_tool "$letters" "$work/$i.theirs")
    tr 'a-z' 'A-Z' <"$work/$i.theirs" | sort -u >"$work/$i.theirs.sorted"
    sort -u "$work/$i.ours" >"$work/$i.ours.sorted"
    if ! cmp -s "$work/$i.ours.sorted" "$work/$i.theirs.sorted"; then
        echo "set $i ($letters): the word lists differ:" >&2
        diff "$work/$i.ours.sorted" "$work/$i.theirs.sorted" | head -5 >&2
        mismatches=$((mismatches + 1))
    fi
    net=$((theirs_us > startup ? theirs_us - startup : 0))
    printf '%-4s %-14s %6s %10s %12s %12s\n' "$i" "$letters" "$count" "$ours_us" "$theirs_us" "$net"
    total_ours=$(awk -v a="$total_ours" -v b="$ours_us" 'BEGIN { print a + b }')
    total_theirs=$((total_theirs + theirs_us))
    total_net=$((total_net + net))
done <"$work/ours.txt"

awk -v n="$sets" -v o="$total_ours" -v t="$total_theirs" -v s="$total_net" -v name="$name" \
    -v up="$startup" 'BEGIN {
    printf "per set: ours %.1f us, %s %.1f us per run (%.1f us without its %d us start-up)\n",
        o / n, name, t / n, s / n, up
    printf "ratio %s / ours: %.1f per run, %.1f without start-up\n", name, t / o, s / o
}'
if [ "$mismatches" -ne 0 ]; then
    echo "$0: $mismatches of $sets sets gave different words" >&2
    exit 1
fi
echo "word lists agree on all $sets sets"
