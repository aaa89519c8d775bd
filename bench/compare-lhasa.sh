#!/bin/bash
# compare-lhasa.sh -- decoding speed of `heaptool unpack` against Debian's lhasa on the same
# genuine -lh5- data, whole process against whole process.
#
# Usage: bench/compare-lhasa.sh BUILD_DIR [MEGABYTES] [REPETITIONS]
#
# Makes a deterministic mixed input (prose, binary records, runs, noise), has jlha compress it
# into an .lzh, turns the member into a packed stream with LzhPayloadTool, checks that both
# decoders give the input back, then times each decoder several times (best run counts) and
# prints both speeds in MB of output per second and their ratio.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [MEGABYTES] [REPETITIONS]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
megabytes=${2:-12}
reps=${3:-5}
heaptool=$build/heaptool
payloadtool=$build/LzhPayloadTool
for tool in jlha lhasa perl; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 1; }
done
for exe in "$heaptool" "$payloadtool"; do
    [ -x "$exe" ] || { echo "$0: $exe is missing (build heaptool and LzhPayloadTool)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

perl -e '
    my $x = 20240607;
    sub r { $x = ($x * 1103515245 + 12345) & 0x7fffffff; return $x >> 8; }
    my @w = qw(the of and to in is was that for on with as by at from his her which or be
               are an this had not but what all were when we there can one more if will their
               has would about been other than some these into could time only its may then
               first letter word game player score round tile board lark garden river evening);
    binmode STDOUT;
    my $size = $ARGV[0] * 1000000;
    my $out = 0;
    while ($out < $size) {
        my $kind = r() % 5;
        my $chunk = "";
        if ($kind <= 2) {
            for (1 .. 200 + r() % 2000) { $chunk .= $w[r() % @w] . ((r() % 12) ? " " : ".\n"); }
        } elsif ($kind == 3) {
            for (1 .. 100 + r() % 2000) { $chunk .= pack("VvC", r() % 100000, r() % 512, r() % 16); }
        } else {
            for (1 .. 1 + r() % 20) {
                $chunk .= chr(r() % 256) x (1 + r() % 600);
                $chunk .= pack("C*", map { r() % 256 } 1 .. r() % 40);
            }
        }
        $chunk = substr($chunk, 0, $size - $out) if $out + length($chunk) > $size;
        print $chunk;
        $out += length $chunk;
    }' "$megabytes" >"$work/input.bin"

(cd "$work" && jlha a1q input.lzh input.bin >/dev/null)
"$payloadtool" "$work/input.lzh" "$work/input.packed"
size=$(stat -c %s "$work/input.bin")
packed=$(stat -c %s "$work/input.packed")

"$heaptool" unpack "$work/input.packed" "$work/heaptool.out"
cmp "$work/heaptool.out" "$work/input.bin" || { echo "$0: heaptool output differs" >&2; exit 1; }
lhasa pq "$work/input.lzh" >"$work/lhasa.out"
cmp "$work/lhasa.out" "$work/input.bin" || { echo "$0: lhasa output differs" >&2; exit 1; }
rm -f "$work/heaptool.out" "$work/lhasa.out"

# Nanoseconds one run of the command takes.
elapsed() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $((end - start))
}

best_heaptool=
best_lhasa=
for ((i = 0; i < reps; ++i)); do
    t=$(elapsed "$heaptool" unpack "$work/input.packed" /dev/null)
    [ -z "$best_heaptool" ] || [ "$t" -lt "$best_heaptool" ] && best_heaptool=$t
    t=$(elapsed lhasa pq "$work/input.lzh")
    [ -z "$best_lhasa" ] || [ "$t" -lt "$best_lhasa" ] && best_lhasa=$t
done

awk -v size="$size" -v packed="$packed" -v h="$best_heaptool" -v l="$best_lhasa" -v reps="$reps" 'BEGIN {
    printf "input %d bytes, -lh5- member %d bytes (%.1f%%), best of %d runs each\n",
        size, packed - 5, 100 * (packed - 5) / size, reps
    printf "heaptool unpack  %8.1f ms  %7.1f MB/s\n", h / 1e6, size / (h / 1e9) / 1e6
    printf "lhasa p          %8.1f ms  %7.1f MB/s\n", l / 1e6, size / (l / 1e9) / 1e6
    printf "ratio            %8.2fx\n", l / h
}'
