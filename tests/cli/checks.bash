# checks.bash -- the assertions the command-line checks share; source it after setting $work.
# Each failed check prints one FAIL line and counts in $failures.
failures=0

check() {  # check DESCRIPTION COMMAND...: the command must succeed
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

refuses() {  # refuses DESCRIPTION COMMAND...: non-zero exit and exactly one line on stderr
    local what=$1
    shift
    "$@" >/dev/null 2>"$work/err"
    local status=$?
    local lines
    lines=$(wc -l <"$work/err")
    if [[ $status -eq 0 || $lines -ne 1 ]]; then
        echo "FAIL: $what (exit $status, $lines stderr lines)"
        cat "$work/err"
        failures=$((failures + 1))
    fi
}

flip_byte() {  # flip_byte FILE OFFSET: turns one bit of the byte at OFFSET, in place
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 4)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
