# xvfb.bash -- a private X server for the window checks; source it, then call start_xvfb.
# The server writes its screen into "$1/fb/Xvfb_screen0" (an XWD image it keeps mapped), so
# scripts/framebuffer.py can read the real window's pixels without any X client of its own.

xvfb_pid=""

# start_xvfb WORK WIDTHxHEIGHT: on success exports DISPLAY and returns 0; otherwise returns 1
# with the server's complaint in "$1/xvfb.log".
start_xvfb() {
    local work=$1 size=${2:-1024x768} n
    mkdir -p "$work/fb"
    for n in $(seq 90 140); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        # -br: a black root, so nothing the game did not draw is mistaken for its frame.
        Xvfb ":$n" -screen 0 "${size}x24" -br -nolisten tcp -fbdir "$work/fb" \
            >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=":$n"
            unset WAYLAND_DISPLAY
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    return 1
}

stop_xvfb() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
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
