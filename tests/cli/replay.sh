#!/usr/bin/env bash
# The whole game driven by the replay scripts in tests/replay on the headless desktop.
#
# A script may carry, as comments, what its run must show:
#   #seed N          the random seed (default 1)         #screen WxH   the headless screen
#   #args WORDS      more words for the game's command line (split at spaces)
#   #> TEXT          the output of the latest `state` line contains TEXT
#   #put PATH TEXT   before the run, PATH in the data folder holds TEXT (no newline added)
#   #history PATH N  before the run, PATH in the data folder holds a history of N verdicts
#                    (tests/cli/make-history.py)
#   #file PATH [LINE]  the run left PATH in its data folder, with LINE as one of its lines
#                    when given (#nofile PATH: it did not leave PATH)
#   #record NAME R L G V D T   at the end, save/NAME.sav holds that player with rating R,
#                    level L, games G, victories V, defeats D and ties T
#   #golden NAME     the shot NAME equals tests/replay/golden/NAME
#   #states N        exactly N state lines came out (the window may close before the end)
#   #err LINE        the run writes LINE on its error stream; these lines, in this order, are
#                    all it writes there (without any, it must write nothing)
# Every script runs twice: the two runs must agree line for line and pixel for pixel, and each
# must end with status 0, whether the script ran out or the game closed itself before it did.
# WORDLARK_UPDATE_GOLDEN=1 rewrites the golden shots from this run.
set -u
build=$1
source_dir=$2
game="$build/wordlark"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

source "$source_dir/tests/cli/record.bash"

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

run() {  # run SCRIPT RUNDIR SEED SCREEN
    local script=$1 dir=$2 seed=$3 screen=$4
    local -a args
    read -r -a args < <(sed -n 's/^#args //p' "$script" | head -1)
    mkdir -p "$dir/data/save" "$dir/shots"
    cp "$build/vek.heap" "$dir/data/"
    local path text
    while read -r path text; do
        # Only inside the data folder: a script must not reach the rest of the machine.
        if [[ $path == /* || /$path/ == */../* ]]; then
            echo "#put $path: outside the data folder" >"$dir/err"
            return 1
        fi
        mkdir -p "$(dirname "$dir/data/$path")"
        printf '%s' "$text" >"$dir/data/$path"
    done < <(sed -n 's/^#put //p' "$script")
    local count
    while read -r path count; do
        if [[ $path == /* || /$path/ == */../* ]]; then
            echo "#history $path: outside the data folder" >"$dir/err"
            return 1
        fi
        python3 "$source_dir/tests/cli/make-history.py" "$count" >"$dir/data/$path"
    done < <(sed -n 's/^#history //p' "$script")
    "$game" --headless --seed "$seed" --screen "$screen" --data "$dir/data" \
        --shots "$dir/shots" --script "$script" "${args[@]}" >"$dir/out" 2>"$dir/err"
}

for script in "$source_dir"/tests/replay/*.txt; do
    name=$(basename "$script" .txt)
    seed=$(sed -n 's/^#seed \([0-9]*\)$/\1/p' "$script" | head -1)
    screen=$(sed -n 's/^#screen \([0-9x]*\)$/\1/p' "$script" | head -1)
    sed -n 's/^#err //p' "$script" >"$work/$name.err"
    run "$script" "$work/$name.1" "${seed:-1}" "${screen:-1920x1080}"
    status=$?
    if [[ $status -ne 0 ]] || ! cmp -s "$work/$name.1/err" "$work/$name.err"; then
        fail "$name: exit $status, or not the error lines expected"
        cat "$work/$name.1/err"
        continue
    fi
    run "$script" "$work/$name.2" "${seed:-1}" "${screen:-1920x1080}"
    status=$?
    [[ $status -eq 0 ]] && cmp -s "$work/$name.2/err" "$work/$name.err" ||
        fail "$name: second run exit $status"
    cmp -s "$work/$name.1/out" "$work/$name.2/out" || fail "$name: two runs printed different states"
    for shot in "$work/$name.1/shots"/*.png; do
        [[ -e $shot ]] || continue
        cmp -s "$shot" "$work/$name.2/shots/$(basename "$shot")" ||
            fail "$name: two runs drew $(basename "$shot") differently"
    done

    state=0
    while IFS= read -r line; do
        case $line in
        state) state=$((state + 1)) ;;
        '#> '*)
            want=${line#'#> '}
            sed -n "${state}p" "$work/$name.1/out" | grep -qF -- "$want" ||
                fail "$name: state $state lacks $want"
            ;;
        '#file '*)
            path=${line#'#file '}
            path=${path%% *}
            text=${line#"#file $path"}
            text=${text# }
            if [[ ! -e "$work/$name.1/data/$path" ]]; then
                fail "$name: no $path"
            elif [[ -n $text ]] && ! grep -qxF -- "$text" "$work/$name.1/data/$path"; then
                fail "$name: $path lacks the line $text"
            fi
            ;;
        '#nofile '*) [[ ! -e "$work/$name.1/data/${line#'#nofile '}" ]] || fail "$name: left ${line#'#nofile '}" ;;
        '#record '*)
            want=${line#'#record '}
            got=$(decode_record "$work/$name.1/data/save/${want%% *}.sav" 2>&1)
            [[ $got == "$want" ]] || fail "$name: record file holds '$got', not '$want'"
            ;;
        '#states '*)
            [[ $(wc -l <"$work/$name.1/out") -eq ${line#'#states '} ]] ||
                fail "$name: $(wc -l <"$work/$name.1/out") state lines, not ${line#'#states '}"
            ;;
        '#golden '*)
            shot=${line#'#golden '}
            golden="$source_dir/tests/replay/golden/$shot"
            if [[ ${WORDLARK_UPDATE_GOLDEN:-0} == 1 ]]; then
                cp "$work/$name.1/shots/$shot" "$golden"
            elif ! cmp -s "$work/$name.1/shots/$shot" "$golden"; then
                fail "$name: $shot differs from the golden one"
                cp "$work/$name.1/shots/$shot" "$build/replay-$name-$shot" 2>/dev/null
            fi
            ;;
        esac
    done <"$script"
done

# A script the game cannot follow is refused before anything starts.
printf 'tick 1\njump 3 4\n' >"$work/bad.txt"
"$game" --headless --data "$build" --script "$work/bad.txt" >/dev/null 2>"$work/err"
status=$?
[[ $status -eq 2 && $(wc -l <"$work/err") -eq 1 ]] && grep -q 'line 2\b.*jump 3 4' "$work/err" ||
    fail "bad script line (exit $status)"
for bad in 'focus' 'focus up' 'command' 'command -1' 'quit now' 'tick 0' 'key f13' 'key f0' \
    'key shift+' 'key ctrl+tab' 'key alt+shift+nothing' 'wheel 1 2' 'wheel 1 2 0' \
    'wheel 1 2 101'; do
    printf '%s\n' "$bad" | "$game" --headless --data "$build" --script - >/dev/null 2>&1
    [[ $? -eq 2 ]] || fail "'$bad' was accepted"
done
printf 'shot ../escape.png\n' | "$game" --headless --data "$build" --script - >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "a shot outside the shots folder was accepted"

# State lines that cannot be written end the run as a failure, said once.
printf 'state\ntick 1\nstate\n' | "$game" --headless --data "$build" --script - >/dev/full 2>"$work/err"
status=$?
[[ $status -ne 0 && $(wc -l <"$work/err") -eq 1 ]] || fail "unwritten state lines (exit $status)"

[[ $failures -eq 0 ]] && echo "replay: all scripts passed"
exit $((failures > 0))
