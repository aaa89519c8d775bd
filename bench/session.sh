#!/usr/bin/env bash
# Start-up to the first presented frame, and the peak memory of a replay session.
# usage: bench/session.sh BUILD_DIR [RUNS]
# A headless run that ends after its first frame measures start-up, first frame and shut-down
# together, so its time bounds the start-up from above. Anchors: under 100 ms and under 40 MB.
# Other processes only ever add to a run's wall time, so the best run is judged against the
# anchor; the median and the CPU time (which a loaded machine does not inflate) show the spread.
set -u
build=${1:?usage: session.sh BUILD_DIR [RUNS]}
runs=${2:-21}
game="$build/wordlark"
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

status=0
((best < 100000)) || { echo "over the 100 ms anchor"; status=1; }
((peak < 40 * 1024)) || { echo "over the 40 MB anchor"; status=1; }
exit $status
