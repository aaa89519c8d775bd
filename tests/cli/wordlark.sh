#!/usr/bin/env bash
# The game's start-up from the command line: a usable archive starts (headless), a missing or
# unusable one is one line on stderr and a non-zero exit.
set -u
build=$1
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

[[ $failures -eq 0 ]] && echo "wordlark: all start-up checks passed"
exit $((failures > 0))
