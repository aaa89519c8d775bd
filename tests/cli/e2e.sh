#!/usr/bin/env bash
# The real binary in a real X server, driven through xdotool as a player would: the start-up
# player selection answered by keyboard, a deal played by mouse and keyboard, the menu opened
# and the game left through its exit question. At every step the window's pixels, read back
# from the server's framebuffer, must be those the headless game draws for the same input; the
# new player's record file is decoded at the end.
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
framebuffer="python3 $source_dir/scripts/framebuffer.py"
name=Lark
password=s3cret

# The headless game fed the same input draws what the window must show. The name field's and
# the password's carets blink with the frame count, which a real clock does not keep in step:
# those screens are drawn four times, five frames apart, so each phase of the caret is there.
reference="$work/reference"
mkdir -p "$reference/data/save" "$reference/shots"
cp "$build/vek.heap" "$reference/data/"
caret_phases() {
    local k
    for k in 1 2 3 4; do
        printf 'tick 5\nshot %s-%d.png\n' "$1" "$k"
    done
}
{
    echo "type $name"
    caret_phases name
    echo "key return"
    echo "type $password"
    caret_phases password
    cat <<'EOF'
key return
tick 3
shot game.png
click 607 187
tick 40
click 530 125
tick 30
type singular
click 415 140
tick 5
click 600 276
tick 5
click 600 276
tick 5
click 100 140
click 142 140
tick 2
click 530 228
tick 2
click 600 372
tick 5
shot deal.png
click 600 417
tick 10
shot menu.png
click 586 430
tick 10
shot question.png
key shift+tab
tick 3
shot question-ring.png
key tab
key space
tick 3
state
EOF
} >"$reference/script.txt"
"$game" --headless --seed 1 --screen 1024x768 --data "$reference/data" \
    --shots "$reference/shots" --script "$reference/script.txt" >"$reference/out" 2>"$reference/err"
status=$?
if [[ $status -ne 0 || ! -f "$reference/shots/question.png" ]]; then
    fail "the headless game did not play the input through (exit $status)"
    cat "$reference/err"
    exit 1
fi
# Its yes ends the program: the state asked for after it never comes.
[[ -s "$reference/out" ]] && fail "the headless game went on after the exit question's yes"

prog="$work/prog"
launch_game "$game" "$source_dir" "$work" --seed 1
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$WIDTH" == 640 && "$HEIGHT" == 480 ]] || fail "window is ${WIDTH}x$HEIGHT, not 640x480"
[[ "$X" == 192 && "$Y" == 144 ]] || fail "window at $X,$Y, not centred at 192,144"

# The caption band drags the window by hand (there is no window manager to do it), even with
# the player selection in front.
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

# shows WHAT SHOT...: within 5 s the whole window equals the headless SHOT (any of them where
# they differ), but for the server's pointer, which the headless game has no picture of.
shows() {
    local what=$1 pointer px py
    shift
    pointer=$(xdotool getmouselocation --shell)
    px=$(sed -n 's/^X=//p' <<<"$pointer")
    py=$(sed -n 's/^Y=//p' <<<"$pointer")
    $framebuffer await "$work/fb/Xvfb_screen0" "$X" "$Y" 5 "$work/window.png" \
        "${@/#/$reference/shots/}" --except "$((px - X - 2)),$((py - Y - 2)),36,36" ||
        fail "the window does not show $what"
}

# Start-up: the player selection takes the name and Enter for its ok; a password panel comes
# in front, shows the password as stars and Enter creates the player.
xdotool type --delay 60 "$name"
shows "the name typed into the player selection" name-{1,2,3,4}.png
xdotool key Return
sleep 0.3
xdotool type --delay 60 "$password"
shows "the password panel with the password as stars" password-{1,2,3,4}.png
xdotool key Return
shows "the game screen once the player is chosen" game.png

# Deal, sort, lay a dictionary word by keyboard and its last letter by mouse, demand; the same
# word again is refused; two letters laid and cleared, then a pass ends the deal as a defeat.
click 607 187
sleep 2.5
click 530 125
sleep 1.6
xdotool type --delay 60 singular
click 415 140
sleep 0.3
click 600 276
sleep 0.3
click 600 276
sleep 0.3
click 100 140
click 142 140
click 530 228
click 600 372
shows "the played deal" deal.png
if [[ -n "${WORDLARK_E2E_KEEP:-}" ]]; then
    cp "$work/window.png" "$WORDLARK_E2E_KEEP" 2>/dev/null
fi

# The menu rises over the bottom right; its exit asks first, and the question's yes, taken
# from the keyboard (Shift+Tab rings the last button, Tab the first, Space presses it), ends
# the program with its exit code 0.
click 600 417
shows "the menu at rest" menu.png
click 586 430
shows "the exit question" question.png
xdotool key shift+Tab
shows "the focus ring on the question's no" question-ring.png
xdotool key Tab space
expect_clean_end "the exit question's yes"
[[ -s "$work/err" ]] && { echo "stderr:"; cat "$work/err"; }

# The record file: 540 bytes, each stored as itself xor the stored byte before it xor its
# offset, then the 32-bit sum of the plain bytes; the name and password fields are 256 bytes
# each, the numbers after them 32-bit LE.
record="$prog/save/$name.sav"
if [[ ! -f "$record" ]]; then
    fail "no record file save/$name.sav"
else
    fields=$(python3 - "$record" <<'PY'
import struct, sys
e = open(sys.argv[1], "rb").read()
if len(e) != 544:
    sys.exit("the record is %d bytes, not 544" % len(e))
p = bytes([e[0]] + [e[i] ^ e[i - 1] ^ (i & 0xFF) for i in range(1, 540)])
if sum(p) & 0xFFFFFFFF != struct.unpack_from("<I", e, 540)[0]:
    sys.exit("the record's sum is wrong")
name, password = (p[at:at + 256].split(b"\0")[0].decode("latin-1") for at in (0, 256))
games, victories, defeats, ties = struct.unpack_from("<4i", p, 520)
print(name, password, games, victories, defeats, ties)
PY
    ) || fail "the record does not decode"
    [[ "$fields" == "$name $password 1 1 1 0" ]] ||
        fail "the record holds '$fields', not '$name $password 1 1 1 0' (name, password, games, victories, defeats, ties)"
    cmp -s "$record" "$reference/data/save/$name.sav" ||
        fail "the record differs from the headless game's for the same play"
fi

# On larger screens the window is the largest whole scale that fits (2 on 1920x1080, 4 on
# 3840x2160), and at scale 2 the game is played in its own coordinates: a click on "start"
# deals. The deal row is compared with the headless game's before the click too, so the check
# cannot pass on a board that is merely there.
printf 'type Fit\nkey return\ntype pw\nkey return\ntick 3\nclick 607 187\ntick 40\nshot fit.png\n' \
    >"$reference/fit.txt"
mkdir -p "$reference/fit/save"
cp "$build/vek.heap" "$reference/fit/"
"$game" --headless --seed 1 --data "$reference/fit" --shots "$reference/shots" \
    --script "$reference/fit.txt" >/dev/null 2>&1 || fail "the headless game did not deal"
deal_row=$(for x in $(seq 20 12 500); do printf '%d,140 %d,150 ' "$x" "$x"; done)
for case in 1920x1080:1280x960:320,60 3840x2160:2560x1920:640,120; do
    IFS=: read -r screen size place <<<"$case"
    end_gracefully "$game_pid"
    game_pid=""
    stop_xvfb
    start_xvfb "$work" "$screen" || { fail "Xvfb did not start at $screen"; continue; }
    launch_game "$game" "$source_dir" "$work/$screen" --seed 1
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [[ "${WIDTH}x$HEIGHT" == "$size" && "$X,$Y" == "$place" ]] ||
        fail "on $screen the window is ${WIDTH}x$HEIGHT at $X,$Y, not $size at $place"
    [[ "$screen" == 1920x1080 ]] || continue
    xdotool type --delay 60 Fit
    xdotool key Return
    sleep 0.3
    xdotool type --delay 60 pw
    xdotool key Return
    sleep 0.5
    # shellcheck disable=SC2086
    $framebuffer compare "$work/fb/Xvfb_screen0" "$X" "$Y" "$reference/shots/fit.png" \
        --scale 2 $deal_row >/dev/null 2>&1 && fail "the deal row shows letters before the deal"
    xdotool mousemove "$((X + 607 * 2))" "$((Y + 187 * 2))" click 1
    sleep 2.5
    # shellcheck disable=SC2086
    $framebuffer compare "$work/fb/Xvfb_screen0" "$X" "$Y" "$reference/shots/fit.png" \
        --scale 2 $deal_row || fail "a click on start at scale 2 did not deal"
done

[[ $failures -eq 0 ]] && echo "e2e: window played on $display, record: $fields"
exit $((failures > 0))
