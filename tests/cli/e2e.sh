#!/usr/bin/env bash
# The real binary in a real X server: a deal played by mouse and keyboard through xdotool, the
# record file it leaves, and the window's pixels read back from the server's framebuffer.
set -u
build=$1
source_dir=$2
game="$build/wordlark"

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "skipped: Xvfb or xdotool is not installed"
    exit 0
fi

source "$source_dir/scripts/xvfb.bash"
begin_x_session 1024x768
display=$DISPLAY

prog="$work/prog"
launch_game "$game" "$source_dir" "$work" --seed 1
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$WIDTH" == 640 && "$HEIGHT" == 480 ]] || fail "window is ${WIDTH}x$HEIGHT, not 640x480"
[[ "$X" == 192 && "$Y" == 144 ]] || fail "window at $X,$Y, not centred at 192,144"

# The caption band drags the window by hand (there is no window manager to do it).
xdotool mousemove "$((X + 100))" "$((Y + 10))" mousedown 1
sleep 0.2
xdotool mousemove "$((X + 130))" "$((Y + 30))"
sleep 0.2
xdotool mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X" == 222 && "$Y" == 164 ]] || fail "the caption drag left the window at $X,$Y, not 222,164"

click() {  # click X Y in window coordinates
    xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
    sleep 0.15
}

# Deal, sort, lay a dictionary word by keyboard and its last letter by mouse, demand; then
# clear and pass, which ends the deal as a defeat.
click 607 187
sleep 2.5
click 530 125
sleep 1.6
xdotool type --delay 60 singula
click 415 140
sleep 0.3
click 600 276
sleep 0.5
click 100 140
click 142 140
click 530 228
click 600 372
sleep 0.8

# The window's pixels back, compared in RGB565 with the headless run of the same play: the
# window's far corner, the pool's first tile and the computer's row.
framebuffer="python3 $source_dir/scripts/framebuffer.py"
$framebuffer shot "$work/fb/Xvfb_screen0" "$X" "$Y" 640 480 "$work/window.png"
$framebuffer compare "$work/fb/Xvfb_screen0" "$X" "$Y" "$source_dir/tests/replay/golden/verdict.png" \
    630,470 5,5 100,130 300,300 || fail "the window does not show the played deal"

# Closing as a session's end does: SIGTERM comes to the game as a close request. (Destroying
# the X window under it, as xdotool windowclose does, is no request: X calls that fatal.)
end_gracefully "$game_pid"
game_pid=""
[[ "$end_status" == 0 ]] || fail "the game did not end cleanly after the close request ($end_status)"
[[ -s "$work/err" ]] && { echo "stderr:"; cat "$work/err"; }

record="$prog/save/Anonim.sav"
if [[ ! -f "$record" ]]; then
    fail "no record file save/Anonim.sav"
else
    games=$(python3 - "$record" <<'PY'
import struct, sys
e = open(sys.argv[1], "rb").read()
if len(e) < 540:
    sys.exit("short record")
p = bytes([e[0]] + [e[i] ^ e[i - 1] ^ (i & 0xFF) for i in range(1, 540)])
print(struct.unpack_from("<i", p, 520)[0])
PY
    )
    [[ "${games:-0}" -ge 1 ]] || fail "the record shows ${games:-no} games"
fi

if [[ -n "${WORDLARK_E2E_KEEP:-}" ]]; then
    cp "$work/window.png" "$WORDLARK_E2E_KEEP" 2>/dev/null
fi
[[ $failures -eq 0 ]] && echo "e2e: window played on $display, record games=$games"
exit $((failures > 0))
