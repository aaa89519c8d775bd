#!/usr/bin/env bash
# run-under-wine.sh DEMO.EXE OUT_DIR [DEPTH [DEMO OPTIONS...]]: runs the Windows demo under Wine
# in a private X server of DEPTH bits (24 by default; 8 checks the palette path), and writes a
# screenshot at each READY line it prints (OUT_DIR/NAME.png) with the demo's output (demo.log).
set -u
demo=$1 out=$2 depth=${3:-24}
shift $(( $# < 3 ? $# : 3 ))
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
work=$(mktemp -d)
mkdir "$work/fb"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "1024x768x$depth" -fbdir "$work/fb" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
display=":$(cat "$work/display")"
cleanup() {
    # Wine's own services outlive the program unless their server is told to end.
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

WINEPREFIX="$work/prefix" WINEDEBUG=-all DISPLAY=$display wine "$demo" "$@" >"$out/demo.log" 2>&1 &
app=$!
taken=0
while kill -0 "$app" 2>/dev/null; do
    mapfile -t ready < <(grep -o '^READY [a-z]*' "$out/demo.log" | cut -d' ' -f2)
    while (( taken < ${#ready[@]} )); do
        sleep 0.5
        python3 "$here/screen-shot.py" "$work/fb/Xvfb_screen0" "$out/${ready[taken]}.png"
        taken=$((taken + 1))
    done
    sleep 0.1
done
wait "$app"
status=$?
cat "$out/demo.log"
exit $status
