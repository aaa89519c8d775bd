# xvfb.bash -- a private X server for the window checks; source it, then call start_xvfb.
# The server writes its screen into "$1/fb/Xvfb_screen0" (an XWD image it keeps mapped), so
# scripts/framebuffer.py can read the real window's pixels without any X client of its own.

xvfb_pid=""
game_pid=""
window=""
extra_pids=()
failures=0

fail() {  # fail MESSAGE: one FAIL line, counted in $failures
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# begin_x_session [WIDTHxHEIGHT]: a scratch folder in $work and a private X server; on exit
# the game, every pid in extra_pids, the server and the folder go. Ends the script with
# "skipped: ..." and status 0 when the build has no real window (the tests are told so by
# WORDLARK_WINDOW=off) or Xvfb cannot run here.
begin_x_session() {
    if [[ "${WORDLARK_WINDOW:-on}" == off ]]; then
        echo "skipped: this build has no real window (configured with WORDLARK_SDL=OFF)"
        exit 0
    fi
    work=$(mktemp -d)
    trap end_x_session EXIT
    if ! start_xvfb "$work" "${1:-1024x768}"; then
        echo "skipped: Xvfb cannot run here ($(head -c 200 "$work/xvfb.log"))"
        exit 0
    fi
}

end_x_session() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null
    local pid
    for pid in "${extra_pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    stop_xvfb
    wait 2>/dev/null
    rm -rf "$work"
}

# start_xvfb WORK WIDTHxHEIGHT: on success exports DISPLAY and returns 0; otherwise returns 1
# with the server's complaint in "$1/xvfb.log".
start_xvfb() {
    local work=$1 size=${2:-1024x768} n=""
    mkdir -p "$work/fb"
    # The server picks a free display itself and writes its number to fd 3: two tests
    # starting servers at once can no longer both take the same number.
    # -br: a black root, so nothing the game did not draw is mistaken for its frame.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -br -nolisten tcp -fbdir "$work/fb" \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        n=$(head -n 1 "$work/display" 2>/dev/null)
        [[ -n "$n" && -e /tmp/.X11-unix/X$n ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        n=""
        sleep 0.1
    done
    if [[ -n "$n" ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
        export DISPLAY=":$n"
        unset WAYLAND_DISPLAY
        return 0
    fi
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    return 1
}

stop_xvfb() {
    # Waited for: a server that is still ending removes its framebuffer file, which may by then
    # be the next server's.
    if [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null; then
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    xvfb_pid=""
}

# wait_window NAME: prints the id of the first window with that exact name (10 s at most).
wait_window() {
    local window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [[ -n "$window" ]] && break
        sleep 0.1
    done
    echo "$window"
}

# launch_game GAME SOURCE_DIR WORK [ARGS...]: the game started with ARGS in a fresh program
# folder WORK/prog holding the built vek.heap (leaks of the desktop libraries suppressed),
# its output in WORK/out and WORK/err. Sets game_pid, and window to the id of its window;
# when none appears within 10 s, fails and ends the script with the game's complaints.
launch_game() {
    local game=$1 source_dir=$2 work=$3
    shift 3
    mkdir -p "$work/prog/save"
    cp "$(dirname "$game")/vek.heap" "$work/prog/"
    LSAN_OPTIONS="suppressions=$source_dir/tests/cli/desktop-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        "$game" --data "$work/prog/" "$@" >"$work/out" 2>"$work/err" &
    game_pid=$!
    window=$(wait_window Wordlark)
    if [[ -z "$window" ]]; then
        fail "no window named Wordlark appeared"
        cat "$work/err"
        exit 1
    fi
}

# end_gracefully PID: a close request (SIGTERM) and up to 5 s for the program to end. Sets
# end_status to its exit status, to "ended" when it was not this shell's child (its status is
# not ours to learn), or to "running". Not in $(...): a subshell has no children to wait for.
end_status=""
end_gracefully() {
    local pid=$1
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        end_status=running
    elif wait "$pid" 2>/dev/null; then
        end_status=0
    else
        end_status=$?
        [[ $end_status -eq 127 ]] && end_status=ended
    fi
}

# expect_clean_end WHAT: the game ($game_pid) ends within 10 s with exit status 0 after WHAT;
# fails otherwise (and ends it). Clears game_pid.
expect_clean_end() {
    local what=$1 status
    for _ in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$what did not end the game"
        end_gracefully "$game_pid"
    else
        wait "$game_pid"
        status=$?
        [[ $status -eq 0 ]] || fail "the game ended with $status after $what"
    fi
    game_pid=""
}
