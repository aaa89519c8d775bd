#!/usr/bin/env bash
# The history a replay of several deals leaves, and its export, line by line against the states
# the replay printed after each verdict.
set -u
build=$1
source_dir=$2
game="$build/wordlark"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source_dir/tests/cli/checks.bash"

mkdir -p "$work/data/save"
cp "$build/vek.heap" "$work/data/"
script="$source_dir/tests/replay/history-deals.txt"
check "the deals are played" "$game" --headless --seed 1 --screen 800x600 --data "$work/data" \
    --script "$script" >"$work/states"
check "the export of his history" "$game" --export-history Lark --data "$work/data" >"$work/csv"
check "the history's file is his alone" test "$(stat -c %a "$work/data/save/Lark.his")" == 600
check "the states, history and export agree" python3 - "$work/states" \
    "$work/data/save/Lark.his" "$work/csv" <<'PY'
import json, re, sys
states = [json.loads(line) for line in open(sys.argv[1])]
history = open(sys.argv[2], newline="").read().split("\n")
csv = open(sys.argv[3], newline="").read().split("\r\n")
assert history.pop() == "" and csv.pop() == "", "lines end with their breaks"
assert csv.pop(0) == ("time,letters,level,player_word,computer_word,result,rating_before,"
                      "rating_after,computer_rating_before,computer_rating_after,longest,daily")
assert len(states) == len(history) == len(csv) == 3, (len(states), len(history), len(csv))
rating, computer = 0, 100  # a new player at level 1
for state, line, row in zip(states, history, csv):
    f = line.split("\t")
    assert row.split(",") == f, (row, line)
    assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", f[0]), f[0]
    assert sorted(f[1].replace("?", "[")) == sorted(state["pool"]["letters"]), (f[1], state["pool"])
    word, answer = state["playerRow"], state["computerRow"]
    result = "victory" if len(word) > len(answer) else "tie" if len(word) == len(answer) else "defeat"
    player = state["player"]
    want = [str(state["level"]), word, answer, result, str(rating), str(player["rating"]),
            str(computer), str(state["computerRating"])]
    assert f[2:10] == want, (f, want)
    assert max(len(word), len(answer)) <= int(f[10]) <= 12, f
    assert len(f) == 12 and f[11] == "", "no daily deal was played"
    rating, computer = player["rating"], state["computerRating"]
PY
"$game" --export-history Nobody --data "$work/data" >"$work/csv" 2>"$work/err"
check "an unknown player: exit 1" test $? -eq 1
check "with one line on stderr and nothing on stdout" test "$(wc -l <"$work/err")" -eq 1 -a ! -s "$work/csv"

[[ $failures -eq 0 ]] && echo "history: all checks passed"
exit $((failures > 0))
