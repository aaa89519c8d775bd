#!/usr/bin/env bash
# The real window under a window manager: once the start-up player selection is answered, the
# game's own minimise button iconifies it, coming back shows the game again (the frame is drawn
# anew although nothing in it changed), and the game's close button ends the program cleanly.
set -u
build=$1
source_dir=$2
game="$build/wordlark"

for tool in Xvfb xdotool xprop openbox; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 0
    fi
done

source "$source_dir/scripts/xvfb.bash"
begin_x_session 1024x768
# A configuration of its own, so nothing of the user's desktop session is read.
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/wm.log" 2>&1 &
extra_pids+=($!)
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "skipped: openbox did not start ($(head -c 200 "$work/wm.log"))"
    exit 0
fi

visible() {  # how many visible windows are named Wordlark
    xdotool search --onlyvisible --name '^Wordlark$' 2>/dev/null | wc -l
}

# What the window must show once the player is chosen: the headless game fed the same keys,
# with its pointer where the real one will be when the window comes back.
reference="$work/reference"
mkdir -p "$reference/data/save" "$reference/shots"
cp "$build/vek.heap" "$reference/data/"
printf 'type Lark\nkey return\ntype pw\nkey return\nmove 300 300\ntick 3\nshot game.png\n' \
    >"$reference/script.txt"
if ! "$game" --headless --seed 1 --screen 1024x768 --data "$reference/data" \
    --shots "$reference/shots" --script "$reference/script.txt" >/dev/null 2>"$reference/err" ||
    [[ ! -f "$reference/shots/game.png" ]]; then
    fail "the headless game did not answer the player selection"
    cat "$reference/err"
    exit 1
fi
framebuffer="python3 $source_dir/scripts/framebuffer.py"

launch_game "$game" "$source_dir" "$work" --seed 1
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# Borderless: the manager adds no frame, so the window keeps its place and size.
[[ "$WIDTH" == 640 && "$HEIGHT" == 480 ]] || fail "window is ${WIDTH}x$HEIGHT under the manager"
[[ "$(visible)" -ge 1 ]] || fail "the window is not visible at start"

# The player selection in front takes the name and password by keyboard, as the manager has
# given the new window the focus.
xdotool type --delay 60 Lark
xdotool key Return
sleep 0.3
xdotool type --delay 60 pw
xdotool key Return
xdotool mousemove --window "$window" 300 300
$framebuffer await "$work/fb/Xvfb_screen0" "$X" "$Y" 5 "$work/window.png" \
    "$reference/shots/game.png" --except 298,298,36,36 ||
    fail "the player selection, answered, did not give way to the game"

# The game's minimise button (the point 600,10 lies on it or on close; minimise is left of it).
xdotool mousemove --window "$window" 598 14 click 1
for _ in $(seq 30); do
    [[ "$(visible)" -eq 0 ]] && break
    sleep 0.1
done
[[ "$(visible)" -eq 0 ]] || fail "the minimise button did not iconify the window"
xprop -id "$window" WM_STATE 2>/dev/null | grep -q Iconic || fail "the window is not iconic"

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowmap "$window"
sleep 1
[[ "$(visible)" -ge 1 ]] || fail "the window did not come back"
eval "$(xdotool getwindowgeometry --shell "$window")"
$framebuffer compare "$work/fb/Xvfb_screen0" "$X" "$Y" "$reference/shots/game.png" \
    630,470 5,5 300,300 100,140 200,240 ||
    fail "the restored window does not show the game"

# Iconified by the manager with the pointer away (off the window, where the server's own
# pointer cannot hide a pixel), so the frame is the same before and after: the window's lost
# contents must still be drawn again.
xdotool mousemove --window "$window" 300 300
sleep 0.2
xdotool mousemove 5 5
sleep 0.5
xdotool windowminimize --sync "$window" 2>/dev/null
sleep 0.5
[[ "$(visible)" -eq 0 ]] || fail "the manager did not iconify the window"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowmap "$window"
sleep 1
# The pointer is off the window now: every pixel of it must be the game's.
$framebuffer await "$work/fb/Xvfb_screen0" "$X" "$Y" 2 "$work/window.png" \
    "$reference/shots/game.png" ||
    fail "the window restored with an unchanged frame shows nothing of the game"

# The game's close button ends the program, with its exit code 0.
xdotool mousemove --window "$window" 630 10 click 1
expect_clean_end "the close button"
[[ -s "$work/err" ]] && { echo "stderr:"; cat "$work/err"; }

# --fullscreen: the manager gives the window the whole screen, and the frame is shown at the
# largest whole scale that fits (1 here), centred on black, its input in the frame's pixels.
launch_game "$game" "$source_dir" "$work/full" --seed 1 --fullscreen
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X,$Y ${WIDTH}x$HEIGHT" == "0,0 1024x768" ]] ||
    fail "--fullscreen gave a window of ${WIDTH}x$HEIGHT at $X,$Y, not the screen"
xdotool type --delay 60 Lark
xdotool key Return
sleep 0.3
xdotool type --delay 60 pw
xdotool key Return
xdotool mousemove 492 444
$framebuffer await "$work/fb/Xvfb_screen0" 192 144 5 "$work/window.png" \
    "$reference/shots/game.png" --except 298,298,36,36 ||
    fail "the full screen does not show the game centred"
$framebuffer compare "$work/fb/Xvfb_screen0" 0 0 "$reference/shots/game.png" 0,0 100,100 \
    >/dev/null 2>&1 && fail "the full screen is not black around the game"
# F11 gives back a window of the fitting scale, showing the game, and takes the screen again;
# each change is the player's own, so it is kept for the next start.
xdotool key F11
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "${WIDTH}x$HEIGHT" == 640x480 ]] || fail "F11 left a ${WIDTH}x$HEIGHT window, not 640x480"
xdotool mousemove --window "$window" 300 300
$framebuffer await "$work/fb/Xvfb_screen0" "$X" "$Y" 5 "$work/window.png" \
    "$reference/shots/game.png" --except 298,298,36,36 ||
    fail "the window F11 gave back does not show the game"
grep -q '"fullscreen": *false' "$work/full/prog/settings.json" 2>/dev/null ||
    fail "F11 out of the full screen was not kept in the settings"
xdotool key F11
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X,$Y ${WIDTH}x$HEIGHT" == "0,0 1024x768" ]] ||
    fail "F11 again gave a window of ${WIDTH}x$HEIGHT at $X,$Y, not the screen"
xdotool mousemove 192 144
xdotool mousemove 822 154 click 1
expect_clean_end "the close button in the full screen"

# Started again without --fullscreen, the game takes the screen as it was left.
launch_game "$game" "$source_dir" "$work/full" --seed 1
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X,$Y ${WIDTH}x$HEIGHT" == "0,0 1024x768" ]] ||
    fail "the full screen kept in the settings gave ${WIDTH}x$HEIGHT at $X,$Y at the next start"
end_gracefully "$game_pid"
[[ "$end_status" == 0 ]] || fail "the game started from the settings ended as $end_status"
game_pid=""
[[ $failures -eq 0 ]] && echo "window-manager: minimised, restored and closed under openbox; full screen shown"
exit $((failures > 0))
