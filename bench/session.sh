#!/usr/bin/env bash
# Start-up to the first presented frame, and the peak memory of a replay session.
# usage: bench/session.sh BUILD_DIR [RUNS]
# A headless run that ends after its first frame measures start-up, first frame and shut-down
# together, so its time bounds the start-up from above. Anchors: under 100 ms and under 40 MB.
# The same start-up is timed again beside an archive made without the definitions entry, which
# the game reads only on first use: the entry may cost start-up at most 5 ms. The runs are taken
# in turns and the cost is the median of each pair's difference, so that a burst of other work
# falls on both sides alike.
# Other processes only ever add to a run's wall time, so the best run is judged against the
# anchor; the median and the CPU time (which a loaded machine does not inflate) show the spread.
set -u
build=${1:?usage: session.sh BUILD_DIR [RUNS]}
runs=${2:-21}
game="$build/wordlark"
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/save"
cp "$build/vek.heap" "$work/"

printf 'tick 1\n' >"$work/first-frame.txt"
times=()
cpus=()
for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    /usr/bin/time -f '%U %S' -o "$work/cpu" "$game" --headless --seed "$i" --data "$work" \
        --script "$work/first-frame.txt" >/dev/null || exit 1
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    cpus+=($(awk '{ printf "%d", ($1 + $2) * 1000000 }' "$work/cpu"))
done
middle=$((runs / 2 + 1))
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "${middle}p")
best=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "${middle}p")
printf 'start-up to first frame (and shut-down): wall median %d.%03d ms, best %d.%03d ms; ' \
    $((median / 1000)) $((median % 1000)) $((best / 1000)) $((best % 1000))
printf 'CPU median %d ms (10 ms steps) over %d runs\n' $((cpu / 1000)) "$runs"

# A session: twenty deals, letters typed and cleared, a thousand frames.
{
    for ((d = 0; d < 20; d++)); do
        printf 'click 600 180\ntick 30\ntype abcdefghijklmnopqrstuvwxyz\ntick 5\nclick 550 236\ntick 10\n'
        printf 'click 600 375\ntick 5\n'
    done
    printf 'state\n'
} >"$work/session.txt"
/usr/bin/time -v "$game" --headless --seed 9 --data "$work" --shots "$work" \
    --script "$work/session.txt" >/dev/null 2>"$work/time" || { cat "$work/time"; exit 1; }
peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
printf 'replay session peak memory: %d.%d MB\n' $((peak / 1024)) $(((peak % 1024) * 10 / 1024))

# The previous build's archive: the same manifest without its definitions line, its sources
# reached through links so that their paths stay those the manifest names.
mkdir -p "$work/assets" "$work/without/save"
for f in "$source_dir"/assets/*; do
    ln -s "$f" "$work/assets/"
done
rm "$work/assets/manifest.txt"
grep -v '^defs[[:space:]]' "$source_dir/assets/manifest.txt" >"$work/assets/manifest.txt"
"$build/heaptool" build "$work/assets/manifest.txt" "$work/without/vek.heap" >/dev/null ||
    { echo "cannot build the archive without definitions"; exit 1; }
once() {  # once DATA_FOLDER SEED: microseconds to the first frame and out
    local start end
    start=$(date +%s%N)
    "$game" --headless --seed "$2" --data "$1" --script "$work/first-frame.txt" >/dev/null ||
        return 1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
median() {
    printf '%s\n' "$@" | sort -n | sed -n "$(($# / 2 + 1))p"
}
pairs=$((runs * 3))
with=()
without=()
differences=()
for ((i = 0; i < pairs; i++)); do
    a=$(once "$work" "$i") || exit 1
    b=$(once "$work/without" "$i") || exit 1
    with+=("$a")
    without+=("$b")
    differences+=($((a - b)))
done
withMedian=$(median "${with[@]}")
withoutMedian=$(median "${without[@]}")
cost=$(median "${differences[@]}")
awk -v a="$withMedian" -v b="$withoutMedian" -v c="$cost" -v n="$pairs" -v sa="$(stat -c %s "$work/vek.heap")" \
    -v sb="$(stat -c %s "$work/without/vek.heap")" 'BEGIN {
    printf "start-up with the definitions entry: wall median %.3f ms (vek.heap %d bytes)\n", a / 1000, sa
    printf "start-up without it (the previous build): wall median %.3f ms (vek.heap %d bytes)\n", b / 1000, sb
    printf "the entry costs start-up %.3f ms (median of %d paired differences; at most 5 ms)\n", c / 1000, n
}'

status=0
((cost <= 5000)) || { echo "the definitions entry costs start-up more than 5 ms"; status=1; }
((best < 100000)) || { echo "over the 100 ms anchor"; status=1; }
((peak < 40 * 1024)) || { echo "over the 40 MB anchor"; status=1; }
exit $status
