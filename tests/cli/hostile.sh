#!/usr/bin/env bash
# The built programs against what a hostile user, a damaged disk or a killed process does to
# their files: things that are not regular files where files belong, unreadable files, a
# full disk (a file-size limit), and kills in the middle of saves. Nothing may hang, die of a
# signal, tear a record or leave a temporary file behind for good.
set -u
build=$1
source_dir=$2
game="$build/wordlark"
tool="$build/heaptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source_dir/tests/cli/checks.bash"
source "$source_dir/tests/cli/record.bash"

# A data folder of its own: the built archive and an empty save folder.
fresh() {  # fresh DIR
    rm -rf "$1"
    mkdir -p "$1/save"
    cp "$build/vek.heap" "$1/"
}

# A script that makes the player Lark, then N deals each given up: every pass saves his record.
passes() {  # passes N
    printf 'type Lark\nkey return\ntick 1\ntype pw\nkey return\n'
    for ((i = 0; i < $1; i++)); do
        printf 'command 2\ntick 1\ncommand 4\n'
    done
}


printf 'tick 1\n' >"$work/one.txt"

# 1. Where the archive belongs: a FIFO, a folder, a socket-less device, an unreadable file.
for kind in fifo folder device unreadable; do
    d="$work/$kind"
    fresh "$d"
    rm "$d/vek.heap"
    case $kind in
    fifo) mkfifo "$d/vek.heap" ;;
    folder) mkdir "$d/vek.heap" ;;
    device) ln -s /dev/zero "$d/vek.heap" ;;
    unreadable)
        cp "$build/vek.heap" "$d/vek.heap"
        chmod 000 "$d/vek.heap"
        # Root reads it anyway: nothing to show then.
        [[ -r "$d/vek.heap" ]] && continue
        ;;
    esac
    refuses "start-up with vek.heap as a $kind" timeout 10 "$game" --headless --data "$d" --script "$work/one.txt"
    grep -q 'vek.heap' "$work/err" || { echo "FAIL: the $kind is not named"; cat "$work/err"; failures=$((failures + 1)); }
    refuses "heaptool list of a $kind" timeout 10 "$tool" list "$d/vek.heap"
    refuses "heaptool unpack of a $kind" timeout 10 "$tool" unpack "$d/vek.heap" "$work/out.bin"
done
# A link to a real archive is an archive.
d="$work/link"
fresh "$d"
mv "$d/vek.heap" "$d/real.heap"
ln -s real.heap "$d/vek.heap"
check "start-up through a link to the archive" timeout 10 "$game" --headless --data "$d" --script "$work/one.txt"

# A bit turned in the word list's stored bytes: the game refuses to start and names the word
# list rather than playing with wrong words, and heaptool finds the same.
d="$work/flipped"
fresh "$d"
offset=$("$tool" list "$d/vek.heap" | awk '$1 == "words" { print $3 }')
stored=$("$tool" list "$d/vek.heap" | awk '$1 == "words" { print $4 }')
# The data base is the header's last field; the bit goes in the middle of the words.
base=$(od -An -tu4 -j 36 -N4 "$d/vek.heap" | tr -d ' ')
flip_byte "$d/vek.heap" $((base + offset + stored / 2))
refuses "start-up with a damaged word list" timeout 10 "$game" --headless --data "$d" --script "$work/one.txt"
grep -q "entry 'words' of $d/vek.heap is damaged" "$work/err" || { echo "FAIL: the word list is not named"; cat "$work/err"; failures=$((failures + 1)); }
refuses "heaptool extract of the damaged word list" "$tool" extract "$d/vek.heap" words "$work/out.bin"
grep -q "entry 'words'.*checksum" "$work/err" || { echo "FAIL: extract does not name the word list"; cat "$work/err"; failures=$((failures + 1)); }
refuses "heaptool verify of the damaged word list" "$tool" verify "$d/vek.heap"
grep -q "entry 'words'" "$work/err" || { echo "FAIL: verify does not name the word list"; cat "$work/err"; failures=$((failures + 1)); }

# A bit turned in a picture only a panel shows: the game plays on without it, and says so once.
d="$work/flipped-panel"
fresh "$d"
offset=$("$tool" list "$d/vek.heap" | awk '$1 == "st_fon" { print $3 }')
stored=$("$tool" list "$d/vek.heap" | awk '$1 == "st_fon" { print $4 }')
flip_byte "$d/vek.heap" $((base + offset + stored / 2))
printf 'type Lark\nkey return\ntype pw\nkey return\nclick 600 417\ntick 6\nclick 586 290\ntick 7\nkey escape\nclick 600 417\ntick 6\nclick 586 290\ntick 7\n' >"$work/stats.txt"
check "a damaged panel picture does not stop the game" timeout 20 "$game" --headless --data "$d" --script "$work/stats.txt"
timeout 20 "$game" --headless --data "$d" --script "$work/stats.txt" >/dev/null 2>"$work/err"
check "it is said once" test "$(grep -c "entry 'st_fon' of $d/vek.heap is damaged" "$work/err")" -eq 1

# 2. The player's own files that are not regular files count as absent, and nothing hangs.
d="$work/players"
fresh "$d"
mkfifo "$d/save/Fifo.sav" "$d/save/Lark.dic"
mkdir "$d/save/Dir.sav"
passes 1 >"$work/one-pass.txt"
check "plays with a FIFO for a record and a word list" timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/one-pass.txt"
check "the record was saved" test -f "$d/save/Lark.sav"

# 3. A save that fails is told, and the old record stays whole.
d="$work/readonly"
fresh "$d"
passes 1 >"$work/p1.txt"
timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt" >/dev/null 2>&1
before=$(decode_record "$d/save/Lark.sav")
if [[ $(id -u) -ne 0 ]]; then
    chmod 500 "$d/save"
    printf 'type Lark\nkey return\ntick 1\ntype pw\nkey return\ncommand 2\ntick 1\ncommand 4\ntick 1\n' >"$work/again.txt"
    timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/again.txt" >/dev/null 2>"$work/err"
    status=$?
    chmod 700 "$d/save"
    check "a read-only save folder ends the run normally" test "$status" -eq 0
    check "a read-only save folder is told once" test "$(grep -c 'cannot save' "$work/err")" -eq 1
    check "the old record stays" test "$(decode_record "$d/save/Lark.sav")" == "$before"
fi
# A file-size limit: the write fails like any other instead of killing the game.
d="$work/limit"
fresh "$d"
# The limit holds for the error file too: the message comes back through a pipe.
told=$( (ulimit -f 0; timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt" 2>&1 >/dev/null; echo "exit $?") )
check "a file-size limit does not kill the game (${told##*exit })" test "${told##*exit }" -eq 0
check "the full disk is told" grep -q 'cannot save' <<<"$told"
check "nothing half-written is left" test -z "$(ls -A "$d/save" | grep -vx '\.lock')"
# The record's name taken by a folder, and the save folder itself a plain file.
d="$work/taken"
fresh "$d"
mkdir "$d/save/Lark.sav"
timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt" >/dev/null 2>"$work/err"
# It is his record, unreadable: said, and never made anew over.
check "a folder in the record's place is told" grep -q "cannot read Lark's record: Is a directory" "$work/err"
d="$work/nofolder"
fresh "$d"
rm -r "$d/save"
check "a missing save folder is made" timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt"
check "and holds the record" test -f "$d/save/Lark.sav"
check "for its owner only" test "$(stat -c %a "$d/save")" == 700
# Something else where the save folder belongs is named for what it is, and the game plays on.
for kind in file fifo dangling; do
    d="$work/save-$kind"
    fresh "$d"
    rm -r "$d/save"
    case $kind in
    file) printf 'x' >"$d/save"; says="save: Not a directory" ;;
    fifo) mkfifo "$d/save"; says="save: Not a directory" ;;
    dangling) ln -s "$d/gone" "$d/save"; says="save: a link to nothing is there" ;;
    esac
    timeout 20 "$game" --headless --data "$d" --script "$work/one.txt" >/dev/null 2>"$work/err"
    status=$?
    check "a $kind as the save folder does not stop the game (exit $status)" test "$status" -eq 0
    grep -qF "wordlark: cannot make $d/$says" "$work/err" ||
        { echo "FAIL: a $kind as the save folder is not named as such"; cat "$work/err"; failures=$((failures + 1)); }
done

# 4. Kills in the middle of saves: never a torn record; the next start clears the leftovers.
d="$work/kills"
fresh "$d"
passes 400 >"$work/many.txt"
torn=0
for ((run = 0; run < 50; run++)); do
    "$game" --headless --seed "$run" --data "$d" --script "$work/many.txt" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 30 + 5))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    if [[ -e "$d/save/Lark.sav" ]] && ! decode_record "$d/save/Lark.sav" >/dev/null 2>&1; then
        torn=$((torn + 1))
    fi
done
check "no record torn by 50 kills ($torn torn)" test "$torn" -eq 0
timeout 20 "$game" --headless --data "$d" --script "$work/one.txt" >/dev/null 2>&1
check "the next start leaves no temporary file" test -z "$(ls -A "$d/save" | grep '^\.saving-')"

# 5. Whose record it is, and what cannot be read.
# Bob's record under Lark's name: moved aside and said, never saved over Bob's own file.
d="$work/names"
fresh "$d"
encode_record Bob pw 500 2 10 5 5 0 >"$d/save/Bob.sav"
cp "$d/save/Bob.sav" "$d/save/Lark.sav"
bob=$(sha1sum <"$d/save/Bob.sav")
timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt" >/dev/null 2>"$work/err"
check "another player's record is not Lark's" test "$(sha1sum <"$d/save/Bob.sav")" == "$bob"
check "it is moved aside" test -f "$d/save/Lark.sav.damaged"
check "and that is said, naming the file" grep -q "Lark's record is damaged.*Lark.sav.damaged" "$work/err"
# A record that cannot be read stays where it is, and Lark is not made anew over it.
d="$work/unreadable"
fresh "$d"
mkfifo "$d/save/Lark.sav"
printf 'CAT' >"$d/save/Lark.dic"
timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p1.txt" >/dev/null 2>"$work/err"
check "an unreadable record is said" grep -q "cannot read Lark's record: not a regular file" "$work/err"
check "and left where it is" test -p "$d/save/Lark.sav" -a -f "$d/save/Lark.dic" -a ! -e "$d/save/Lark.sav.damaged"
# Failed saves name the player's file, once however many verdicts fail.
d="$work/twice"
fresh "$d"
passes 3 >"$work/p3.txt"
told=$( (ulimit -f 0; timeout 20 "$game" --headless --seed 1 --data "$d" --script "$work/p3.txt" 2>&1 >/dev/null) )
check "three failed saves are told once" test "$(grep -c 'cannot save the record' <<<"$told")" -eq 1
check "naming the player's file" grep -q "cannot write $d/save/Lark.sav: File too large" <<<"$told"

# 6. Two copies on one save folder: the second leaves the first's temporary file alone; once
# no copy runs, a start removes it. The first copy reads its script from a FIFO kept open, so
# it holds the folder until the FIFO is closed.
d="$work/two"
fresh "$d"
mkfifo "$work/first-script"
"$game" --headless --data "$d" --script - <"$work/first-script" >/dev/null 2>&1 &
first=$!
exec {feed}>"$work/first-script"
# The first copy has started once the save folder's lock is held.
for ((i = 0; i < 100; i++)); do
    [[ -e "$d/save/.lock" ]] && ! flock -xn "$d/save/.lock" true && break
    sleep 0.05
done
printf 'being written' >"$d/save/.saving-First1"
check "a second copy starts beside the first" timeout 20 "$game" --headless --data "$d" --script "$work/one.txt"
check "the first copy's temporary file survives the second's start" test -e "$d/save/.saving-First1"
printf 'tick 1\n' >&"$feed"
exec {feed}>&-
wait "$first"
check "the first copy ends normally" test $? -eq 0
timeout 20 "$game" --headless --data "$d" --script "$work/one.txt" >/dev/null 2>&1
check "with no copy running, the next start removes it" test ! -e "$d/save/.saving-First1"

# 7. A settings file that cannot be taken: the game plays with the defaults, says so in one
# line, and the next choice replaces what stands there (a link itself, not what it points at).
printf 'tick 1\nkey f11\ntick 1\n' >"$work/fullscreen.txt"
for kind in fifo folder link garbage huge; do
    d="$work/settings-$kind"
    fresh "$d"
    case $kind in
    fifo) mkfifo "$d/settings.json" ;;
    folder) mkdir "$d/settings.json" ;;
    link) printf '{"scale": 3}' >"$d/target" && ln -s target "$d/settings.json" ;;
    garbage) head -c 3000 /dev/urandom >"$d/settings.json" ;;
    huge) head -c 10485760 /dev/zero | tr '\0' ' ' >"$d/settings.json" ;;
    esac
    timeout 20 "$game" --headless --data "$d" --script "$work/fullscreen.txt" >/dev/null 2>"$work/err"
    status=$?
    lines=$(wc -l <"$work/err")
    # A folder cannot be replaced: that is said as a failed save, a second line.
    want=1
    [[ $kind == folder ]] && want=2
    if [[ $status -ne 0 || $lines -ne $want ]] || ! grep -q 'settings.json' "$work/err"; then
        echo "FAIL: settings.json as $kind (exit $status, $lines stderr lines)"
        cat "$work/err"
        failures=$((failures + 1))
    fi
done
check "a link at settings.json is replaced, not followed" \
    test ! -L "$work/settings-link/settings.json" -a "$(cat "$work/settings-link/target")" = '{"scale": 3}'
check "the choice reached the file" grep -q '"fullscreen": true' "$work/settings-garbage/settings.json"
check "no temporary settings file is left" \
    test -z "$(find "$work"/settings-* -name '.settings-*')"
# 8. The player's history: huge, garbage, overlong lines, NULs, CR LF, odd values, or not a
# file at all. The game plays, the progress screen opens on what could be read, the verdict
# is saved in the record, and the export neither hangs nor dies.
good=$'2026-12-09T07:30:00Z\tSNUSUAGLRMI?\t3\tLUNGS\tNIL\tvictory\t0\t13\t300\t287\t9'
{ passes 1; printf 'click 600 417\ntick 6\nclick 586 290\ntick 7\nkey 80\ntick 2\nstate\n'; } >"$work/progress.txt"
for kind in huge garbage long nul crlf odd fifo folder link; do
    d="$work/history-$kind"
    fresh "$d"
    h="$d/save/Lark.his"
    case $kind in
    huge) yes "$good" | head -c 100M >"$h" ;;
    garbage) head -c 1M /dev/urandom >"$h" ;;
    long) { head -c 1M /dev/zero | tr '\0' A; printf '%s\n' "$good"; } >"$h" ;;
    nul) printf '%s\0\n%s\n' "$good" "$good" >"$h" ;;
    crlf) printf '%s\r\n' "$good" "$good" >"$h" ;;
    odd) printf '%s\n' "${good/victory?0?13/victory	-4	99999999999}" "${good/2026/9999}" >"$h" ;;
    fifo) mkfifo "$h" ;;
    folder) mkdir "$h" ;;
    link) ln -s "$d/nowhere" "$h" ;;
    esac
    timeout 30 "$game" --headless --seed 1 --data "$d" --script "$work/progress.txt" >"$work/out" 2>"$work/err"
    check "a $kind history: the game plays on (exit $?)" grep -q '"modal":"ProgressPanel","panel":{"games":' "$work/out"
    check "a $kind history: the verdict is in the record" test "$(decode_record "$d/save/Lark.sav")" == "Lark 0 1 1 0 1 0"
    # The export writes the whole file, so the huge one is a million games: under the
    # sanitizers that is half a minute of honest work, not a hang.
    limit=30
    [[ $kind == huge ]] && limit=120
    timeout $limit "$game" --export-history Lark --data "$d" >"$work/out" 2>"$work/err"
    status=$?
    check "a $kind history: the export ends (exit $status)" test "$status" -le 1
    check "a $kind history: nothing is made through the link" test ! -e "$d/nowhere"
done
check "a huge history shows its last verdicts" grep -q '"games":[1-9]' <<<"$(timeout 30 "$game" --headless --seed 1 --data "$work/history-huge" --script "$work/progress.txt")"

# 9. The meanings of the words: an archive without them, or with their entry damaged. The game
# plays the deal, and after the verdict says the computer's word has none.
d="$work/meanings-damaged"
fresh "$d"
offset=$("$tool" list "$d/vek.heap" | awk '$2 == "defs" { print $3 }')
stored=$("$tool" list "$d/vek.heap" | awk '$2 == "defs" { print $4 }')
flip_byte "$d/vek.heap" $((base + offset + stored / 2))
d="$work/meanings-none"
fresh "$d"
# The manifest without its definitions line, beside links to the sources it names.
mkdir -p "$work/assets-nodefs"
ln -s "$(cd "$source_dir" && pwd)"/assets/* "$work/assets-nodefs/"
rm "$work/assets-nodefs/manifest.txt"
grep -v '^defs[[:space:]]' "$source_dir/assets/manifest.txt" >"$work/assets-nodefs/manifest.txt"
"$tool" build "$work/assets-nodefs/manifest.txt" "$d/vek.heap" >/dev/null
{ passes 1; printf 'tick 5
state
'; } >"$work/meanings.txt"
for kind in damaged none; do
    out=$(timeout 30 "$game" --headless --seed 1 --data "$work/meanings-$kind" --script "$work/meanings.txt" 2>"$work/err")
    check "meanings $kind: the deal is played" grep -q '"games":1' <<<"$out"
    check "meanings $kind: the computer's word has none" grep -q '"computer":"[A-Z]*: no definition in the dictionary"' <<<"$out"
done

[[ $failures -eq 0 ]] && echo "hostile: all checks passed"
exit $((failures > 0))
