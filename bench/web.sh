#!/usr/bin/env bash
# The browser game: what a server sends (every file of the page, gzipped as a server sends it)
# and the first frame from opening the page (bench/web-first-frame.py).
# usage: bench/web.sh [BUILD_DIR]   (the Linux build, whose vek.heap the page packs; the page is
# made in build-web/ beside it). Anchors: at most 4 MB sent; the first frame within 1 s.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
web=$here/build-web
if ! command -v emcc >/dev/null || ! command -v chromium >/dev/null; then
    echo "skipped: emscripten or chromium is not installed (scripts/bootstrap web)"
    exit 0
fi
"$here/scripts/make-web" "$web" >/dev/null || exit 1
status=0
total=0
for file in index.html wordlark.js wordlark.wasm wordlark.data icon.png favicon.ico; do
    raw=$(stat -c %s "$web/$file")
    sent=$(gzip -c "$web/$file" | wc -c)
    total=$((total + sent))
    printf '%-14s %9d bytes, %9d gzipped\n' "$file" "$raw" "$sent"
done
printf 'sent in all: %d bytes (%d.%02d MB; bound 4 MB)\n' "$total" $((total / 1000000)) \
    $((total % 1000000 / 10000))
[[ $total -le 4000000 ]] || status=1
/usr/bin/python3 "$here/bench/web-first-frame.py" "$web" || status=1
exit $status
