#!/usr/bin/env bash
# The game's start-up from the command line: a usable archive starts (headless), a missing or
# unusable one or a command line it cannot follow is one line on stderr and a non-zero exit;
# what start-up and shut-down do around the game (the save folder, the companion program).
set -u
build=$1
source_dir=$2
game="$build/wordlark"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # expect DESCRIPTION STATUS STDERR_LINES COMMAND...
    local what=$1 want=$2 lines=$3
    shift 3
    "$@" >"$work/out" 2>"$work/err"
    local status=$?
    if [[ $status -ne $want && ! ($want -eq 1 && $status -ne 0) ]] || [[ $(wc -l <"$work/err") -ne $lines ]]; then
        echo "FAIL: $what (exit $status)"
        cat "$work/err"
        failures=$((failures + 1))
    fi
}

# Without a display, a usable archive still gets as far as the words, then one line says why.
expect "says there is no display" 1 1 env -u DISPLAY -u WAYLAND_DISPLAY "$game" --data "$build" --seed 7
grep -q 'display' "$work/err" || { echo "FAIL: no word about the display"; failures=$((failures + 1)); }
printf 'tick 1\n' >"$work/one.txt"
expect "starts headless on the built archive" 0 0 "$game" --headless --data "$build" --seed 7 --script "$work/one.txt"
expect "--help" 0 0 "$game" --help
grep -q -- '--data' "$work/out" || { echo "FAIL: --help lacks --data"; failures=$((failures + 1)); }
expect "--version" 0 0 "$game" --version
expect "missing archive" 1 1 "$game" --data "$work"
printf 'not an archive at all, just some text that is longer than forty bytes\n' >"$work/vek.heap"
expect "damaged archive" 1 1 "$game" --data "$work"
mkdir -p "$work/nowords"
printf 'raw other wrds m\n' >"$work/m.txt"
printf 'x' >"$work/m"
"$build/heaptool" build "$work/m.txt" "$work/nowords/vek.heap"
expect "archive without words" 1 1 "$game" --data "$work/nowords"
expect "bad seed" 2 1 "$game" --seed many
expect "headless on a missing archive" 1 1 "$game" --headless --data "$work/none" --script "$work/one.txt"
expect "headless on an archive without words" 1 1 "$game" --headless --data "$work/nowords" --script "$work/one.txt"
expect "script without --headless" 2 1 "$game" --script "$work/one.txt"
expect "missing script" 2 1 "$game" --headless --data "$build" --script "$work/absent.txt"
expect "bad screen" 2 1 "$game" --headless --screen 10x10 --script "$work/one.txt"

# A command line is taken as a whole or refused: nothing given twice, no value missing or
# swallowing the next option, no seed outside 32 bits, no script that is not a file.
headless=("$game" --headless --data "$build" --script "$work/one.txt")
expect "--data twice" 2 1 "${headless[@]}" --data "$work/none"
expect "--headless twice" 2 1 "${headless[@]}" --headless
expect "--shots swallowing --data" 2 1 "$game" --headless --script "$work/one.txt" --shots --data --data "$build"
expect "--data without its value" 2 1 "${headless[@]}" --data
expect "negative seed" 2 1 "${headless[@]}" --seed -1
expect "seed past 32 bits" 2 1 "${headless[@]}" --seed 4294967296
expect "largest seed" 0 0 "${headless[@]}" --seed 4294967295
expect "a folder as the script" 2 1 "$game" --headless --data "$build" --script "$work"

# Start-up makes a missing save folder and clears what an interrupted save left in one.
mkdir -p "$work/fresh" "$work/interrupted/save"
cp "$build/vek.heap" "$work/fresh/"
cp "$build/vek.heap" "$work/interrupted/"
printf 'half a record' >"$work/interrupted/save/.saving-a1b2c3"
expect "start-up on a fresh folder" 0 0 "$game" --headless --data "$work/fresh" --script "$work/one.txt"
[[ -d "$work/fresh/save" ]] || { echo "FAIL: no save folder was made"; failures=$((failures + 1)); }
expect "start-up after an interrupted save" 0 0 "$game" --headless --data "$work/interrupted" --script "$work/one.txt"
[[ ! -e "$work/interrupted/save/.saving-a1b2c3" ]] ||
    { echo "FAIL: an interrupted save was left"; failures=$((failures + 1)); }

# Past the file-size limit a save fails like any other write; the game goes on.
printf 'type Lark\nkey return\ntick 1\ntype pw\nkey return\ntick 1\nstate\n' >"$work/player.txt"
mkdir -p "$work/limited/save"
cp "$build/vek.heap" "$work/limited/"
states=$(bash -c 'ulimit -f 0; exec "$@" 2>/dev/null' - \
    "$game" --headless --data "$work/limited" --script "$work/player.txt")
status=$?
[[ $status -eq 0 && $states == *'"name":"Lark"'* ]] ||
    { echo "FAIL: a save past the file-size limit ended the game (exit $status)"; failures=$((failures + 1)); }

# The companion program is run from beside the executable only, never from a data folder,
# which may be anyone's. The game runs in an off-screen window and is closed as the end of a
# session closes it.
mkdir -p "$work/exe" "$work/data/save"
cp "$game" "$work/exe/"
cp "$build/vek.heap" "$work/data/"
for folder in exe data; do
    printf '#!/bin/sh\ntouch "%s"\n' "$work/ran-from-$folder" >"$work/$folder/tovarn.exe"
    chmod +x "$work/$folder/tovarn.exe"
done
for delay in 0.5 1 2 4 8; do
    LSAN_OPTIONS="suppressions=$source_dir/tests/cli/desktop-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        SDL_VIDEODRIVER=offscreen "$work/exe/wordlark" --data "$work/data" >/dev/null 2>"$work/err" &
    pid=$!
    sleep "$delay"
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    # 143: the signal came before the game was ready to take it as a close request.
    [[ $status -eq 143 ]] || break
done
if grep -q 'no display backend' "$work/err"; then
    echo "skipped the companion program: no off-screen display ($(head -c 200 "$work/err"))"
else
    for _ in $(seq 50); do
        [[ -e "$work/ran-from-exe" ]] && break
        sleep 0.1
    done
    [[ -e "$work/ran-from-exe" ]] ||
        { echo "FAIL: the companion beside the executable did not run (exit $status)"; failures=$((failures + 1)); }
    [[ ! -e "$work/ran-from-data" ]] ||
        { echo "FAIL: the companion in the data folder ran"; failures=$((failures + 1)); }
fi

[[ $failures -eq 0 ]] && echo "wordlark: all start-up checks passed"
exit $((failures > 0))
