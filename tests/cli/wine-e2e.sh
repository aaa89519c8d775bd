#!/usr/bin/env bash
# The Windows game, unpacked from its zip into a fresh folder, played under Wine in a private X
# server through xdotool as a player would: a record made on Linux is listed, a new player is
# made by keyboard, a deal is played with a word laid by mouse and demanded, the window menu
# opens from the menu corner and closes with Escape, the menu's exit question ends the program
# with exit code 0. The window's pixels must be those the Linux build draws headless for the
# same input, exactly outside text and nearly where text is drawn (GDI's fonts are not
# FreeType's); the record it saves must be the Linux game's, byte for byte. A replay of the
# daily deal of a day deals the letters the Linux game deals.
#   wine-e2e.sh WINDOWS_BUILD SOURCE_DIR LINUX_BUILD [WINE]
set -u
win_build=$1
source_dir=$2
linux_build=$3
wine=${4:-/usr/lib/wine/wine64}
framebuffer="python3 $source_dir/scripts/framebuffer.py"
source "$source_dir/scripts/xvfb.bash"
source "$source_dir/tests/cli/record.bash"
work=$(mktemp -d)
own_prefix=""
if [[ -z "${WINEPREFIX:-}" ]]; then
    own_prefix=$work/wineprefix
    export WINEPREFIX=$own_prefix WINEDEBUG=-all
fi
cleanup() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null
    [[ -n "$own_prefix" ]] && "$(dirname "$wine")/wineserver" -k 2>/dev/null
    stop_xvfb
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Text boxes may differ in at most this share of their pixels (seen: up to 11 %, where the
# faces differ in shape and width).
text_share=0.25

zip=$(cd "$win_build" && pwd)/wordlark-windows.zip
prog=$work/prog
mkdir -p "$prog"
if ! (cd "$prog" && cmake -E tar xf "$zip"); then
    echo "FAIL: cannot unpack $zip"
    exit 1
fi
listing=$(cd "$prog" && find . | sort | tr '\n' ' ')
[[ $listing == ". ./LICENSE.txt ./save ./vek.heap ./vek.hlp ./wordlark-help.html ./wordlark.exe ./wordnet-COPYRIGHT.txt ./words-COPYRIGHT.txt " ]] ||
    fail "the zip holds: $listing"
if command -v x86_64-w64-mingw32-objdump >/dev/null; then
    dlls=$(x86_64-w64-mingw32-objdump -p "$prog/wordlark.exe" | sed -n 's/.*DLL Name: //p' |
        tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
    [[ $dlls == "DDRAW.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL " ]] ||
        fail "wordlark.exe needs DLLs beyond the system's: $dlls"
fi

if ! start_xvfb "$work/x" 1024x768; then
    echo "skipped: Xvfb cannot run here ($(head -c 200 "$work/x/xvfb.log"))"
    exit 0
fi
if ! timeout 300 "$wine" cmd /c exit >"$work/boot.log" 2>&1; then
    echo "skipped: Wine cannot start here ($(tail -n 1 "$work/boot.log"))"
    exit 0
fi

# The daily deal of a day: the same letters on both systems, whatever the random sequence.
daily=$work/daily
mkdir -p "$daily/win/save" "$daily/linux/save"
cp "$prog/vek.heap" "$daily/win/"
cp "$linux_build/vek.heap" "$daily/linux/"
printf 'type Wren\nkey return\ntype pw\nkey return\ntick 2\nstate\nquit\n' >"$daily/script.txt"
# Paths relative to the folder the game starts in: Wine would read a Linux one as a drive's.
(cd "$daily" && timeout 120 "$wine" "$prog/wordlark.exe" --headless --seed 9 --data win \
    --script script.txt --daily --date 2026-03-01) >"$daily/win.out" 2>/dev/null
"$linux_build/wordlark" --headless --seed 2 --data "$daily/linux" --script "$daily/script.txt" \
    --daily --date 2026-03-01 >"$daily/linux.out" 2>/dev/null
win_letters=$(grep -o '"letters":"[A-Z[]*"' "$daily/win.out")
linux_letters=$(grep -o '"letters":"[A-Z[]*"' "$daily/linux.out")
[[ -n $linux_letters && $win_letters == "$linux_letters" ]] ||
    fail "the daily deal of 2026-03-01: Windows dealt ${win_letters:-nothing}, Linux $linux_letters"

# A player made by the Linux game, in both save folders: the Windows game must list him.
reference=$work/reference
mkdir -p "$reference/data/save" "$reference/shots"
cp "$linux_build/vek.heap" "$reference/data/"
printf 'type Wren\nkey return\ntick 1\ntype pw\nkey return\ntick 1\nquit\n' >"$work/wren.txt"
"$linux_build/wordlark" --headless --data "$reference/data" --script "$work/wren.txt" \
    >/dev/null 2>&1
cp "$reference/data/save/Wren.sav" "$prog/save/"

name=Lark
password=s3cret
# The pool after sort is AGILLMNRSSUU, 42 pixels a tile from x 16: SINGULARS by mouse.
word_clicks=""
for tile in 8 2 6 1 10 3 0 7 9; do
    word_clicks+="click $((37 + 42 * tile)) 140"$'\n'
done
caret_phases() {  # the caret blinks with the frame count: each of its phases is a good shot
    local k
    for k in 1 2 3 4; do
        printf 'tick 5\nshot %s-%d.png\n' "$1" "$k"
    done
}
{
    echo "tick 3"
    echo "shot selection.png"
    echo "state"
    echo "type $name"
    caret_phases name
    echo "state"
    echo "key return"
    echo "type $password"
    echo "key return"
    echo "tick 3"
    echo "shot game.png"
    echo "state"
    printf 'click 607 187\ntick 40\nclick 530 125\ntick 30\n'
    printf '%s' "$word_clicks"
    printf 'tick 2\nclick 600 276\ntick 5\nshot deal.png\nstate\n'
    printf 'click 600 417\ntick 10\nshot menu.png\nstate\n'
    printf 'click 586 430\ntick 10\nshot question.png\nstate\nclick 260 266\ntick 3\nstate\n'
} >"$reference/script.txt"
"$linux_build/wordlark" --headless --seed 1 --screen 1024x768 --data "$reference/data" \
    --shots "$reference/shots" --script "$reference/script.txt" >"$reference/out" 2>"$reference/err"
if [[ ! -f "$reference/shots/question.png" ]]; then
    echo "FAIL: the headless game did not play the input through"
    cat "$reference/err"
    exit 1
fi
grep -q '"playerRow":"SINGULARS"' "$reference/out" || fail "the mouse did not lay SINGULARS headless"

# Where text is drawn in each state line: its box, or a generous one from its first cell.
text_boxes() {  # text_boxes N: the boxes of the Nth state line
    sed -n "$1p" "$reference/out" | python3 -c '
import json, sys
for text in json.load(sys.stdin)["drawn"]["texts"]:
    if "box" in text:
        x, y, w, h = text["box"]
    else:
        x, y, w, h = text["x"] - 2, text["y"] - 2, 14 * len(text["text"]) + 6, 28
    print("%d,%d,%d,%d" % (x, y, w, h))'
}

start_ms=$(date +%s%3N)
(cd "$prog" && exec "$wine" wordlark.exe --seed 1) >"$work/out" 2>"$work/err" &
game_pid=$!
window=$(wait_window Wordlark)
if [[ -z "$window" ]]; then
    fail "no window named Wordlark appeared"
    cat "$work/err"
    exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$WIDTH" == 640 && "$HEIGHT" == 480 ]] || fail "window is ${WIDTH}x$HEIGHT, not 640x480"
[[ "$X" == 192 && "$Y" == 144 ]] || fail "window at $X,$Y, not centred at 192,144"

click() {  # click X Y in window coordinates
    xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
    sleep 0.15
}
# shows WHAT STATE SHOT...: within 10 s the window equals the headless SHOT (any of them),
# but for the server's pointer, which the headless game has no picture of, and its text boxes.
shows() {
    local what=$1 state=$2 pointer px py
    shift 2
    pointer=$(xdotool getmouselocation --shell)
    px=$(sed -n 's/^X=//p' <<<"$pointer")
    py=$(sed -n 's/^Y=//p' <<<"$pointer")
    # shellcheck disable=SC2046
    $framebuffer await "$work/x/fb/Xvfb_screen0" "$X" "$Y" 10 "$work/$1" \
        "${@/#/$reference/shots/}" --except "$((px - X - 2)),$((py - Y - 2)),36,36" \
        --text "$text_share" $(text_boxes "$state") || fail "the window does not show $what"
}

shows "the player selection listing the Linux player" 1 selection.png
echo "first frame as expected $(($(date +%s%3N) - start_ms)) ms after the start (Wine)"
xdotool type --delay 80 "$name"
shows "the name typed into the player selection" 2 name-{1,2,3,4}.png
xdotool key Return
sleep 0.5
xdotool type --delay 80 "$password"
xdotool key Return
shows "the game screen once the player is chosen" 3 game.png

click 607 187
sleep 2.5
click 530 125
sleep 1.6
while read -r _ x y; do
    [[ -n "$x" ]] && click "$x" "$y"
done <<<"$word_clicks"
sleep 0.2
click 600 276
shows "the deal won with SINGULARS" 4 deal.png

# The menu corner opens the system's window menu, dropped from the window's corner as a window
# of its own; Escape closes it, the deal shows again and the next click (the menu button below)
# must reach the game.
menu_windows() {  # how many windows the X server has at the window's corner, 5 pixels in
    xwininfo -root -children | grep -cE " [0-9]+x[0-9]+\+$((X + 5))\+$((Y + 5)) "
}
click 20 10
for _ in $(seq 50); do
    [[ $(menu_windows) -gt 0 ]] && break
    sleep 0.1
done
if [[ $(menu_windows) -eq 0 ]]; then
    fail "the menu corner opened no window menu"
elif $framebuffer compare "$work/x/fb/Xvfb_screen0" "$X" "$Y" "$reference/shots/deal.png" \
    40,60 100,100 >/dev/null 2>&1; then
    fail "the window menu opened but does not show"
fi
xdotool key Escape
for _ in $(seq 50); do
    [[ $(menu_windows) -eq 0 ]] && break
    sleep 0.1
done
[[ $(menu_windows) -eq 0 ]] || fail "Escape did not close the window menu"
shows "the deal again once the window menu is closed" 4 deal.png
click 600 417
shows "the menu at rest" 5 menu.png
click 586 430
shows "the exit question" 6 question.png
click 260 266
expect_clean_end "the exit question's yes"

record=$prog/save/$name.sav
fields=$(decode_record "$record" 2>&1)
[[ $fields == "$name "*" 1 1 1 0 0" ]] ||
    fail "the record reads '$fields', not a won first game of $name at level 1"
cmp -s "$record" "$reference/data/save/$name.sav" ||
    fail "the Windows record differs from the Linux game's for the same play"
cmp -s "$prog/save/Wren.sav" "$reference/data/save/Wren.sav" ||
    fail "the Linux player's record changed on Windows"
[[ -s "$work/err" ]] && { echo "stderr:"; head -n 20 "$work/err"; }
# WORDLARK_E2E_KEEP=DIR keeps the window as last seen at each step, for a look.
[[ -n "${WORDLARK_E2E_KEEP:-}" ]] && cp "$work"/*.png "$WORDLARK_E2E_KEEP"/ 2>/dev/null

# The program declares itself aware of each monitor's density, and on a 1920x1080 screen its
# window is the frame at twice its size about the same centre, drawn by whole pixels.
grep -q PerMonitorV2 "$prog/wordlark.exe" || fail "wordlark.exe carries no per-monitor DPI manifest"
"$(dirname "$wine")/wineserver" -k 2>/dev/null
stop_xvfb
if start_xvfb "$work/x" 1920x1080; then
    (cd "$prog" && exec "$wine" wordlark.exe --seed 1) >"$work/out" 2>"$work/err" &
    game_pid=$!
    window=$(wait_window Wordlark)
    if [[ -z "$window" ]]; then
        fail "no window named Wordlark appeared on 1920x1080"
    else
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [[ "${WIDTH}x$HEIGHT $X,$Y" == "1280x960 320,60" ]] ||
            fail "on 1920x1080 the window is ${WIDTH}x$HEIGHT at $X,$Y, not 1280x960 at 320,60"
        xdotool mousemove 0 0
        sleep 1
        $framebuffer compare "$work/x/fb/Xvfb_screen0" "$X" "$Y" "$reference/shots/selection.png" \
            --scale 2 5,5 635,475 3,240 636,240 320,2 ||
            fail "the window at scale 2 does not show the frame"
    fi
    end_gracefully "$game_pid"
    game_pid=""

    # Without vek.heap the game started from the desktop, which has no console, says why in a
    # box too; a replay says it on stderr alone and ends at once.
    empty=$work/empty
    mkdir -p "$empty"
    cp "$prog/wordlark.exe" "$empty/"
    printf 'tick 1\n' >"$empty/script.txt"
    (cd "$empty" && timeout 60 "$wine" wordlark.exe --headless --script script.txt) \
        >/dev/null 2>"$work/err"
    [[ $? -eq 1 ]] || fail "the replay without vek.heap did not end at once with exit status 1"
    grep -q vek.heap "$work/err" || fail "the replay without vek.heap did not say why"
    (cd "$empty" && exec "$wine" wordlark.exe) >/dev/null 2>"$work/err" &
    game_pid=$!
    box=$(wait_window Wordlark)
    if [[ -z "$box" ]]; then
        fail "no box told of the missing vek.heap"
    else
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended without waiting for its box"
        grep -q vek.heap "$work/err" || fail "the missing vek.heap was not said on stderr too"
    fi
    end_gracefully "$game_pid"
    game_pid=""
fi

[[ $failures -eq 0 ]] && echo "wine-e2e: the Windows game played under Wine, record: $fields"
exit $((failures > 0))
