#!/usr/bin/env bash
# The real window in a private X server: start to first frame on screen, the CPU an idle game
# takes (before and after a deal), and a screenshot of each look: scale 1, the window fitted to
# a 1920x1080 screen, the full screen on 1920x1080 and 3840x2160 (under a window manager, as a
# bare X server does not give a window the full screen), 8-bit, and the Windows game under Wine
# when it is built.
# usage: bench/window.sh BUILD_DIR [SECONDS]
# Anchors: an idle window under 1 % of one core; the fitted window's first frame on screen
# within 150 ms. The shots land in BUILD_DIR/window-shots/.
set -u
build=$(cd "${1:?usage: window.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/xvfb.bash"
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "skipped: Xvfb or xdotool is not installed"
    exit 0
fi

work=$(mktemp -d)
game_pid=""
wm_pid=""
trap '[[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null; [[ -n "$wm_pid" ]] && kill "$wm_pid"; stop_xvfb; wait 2>/dev/null; rm -rf "$work"' EXIT
shots="$build/window-shots"
mkdir -p "$shots"
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() {  # user + system clock ticks of a process so far
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

idle_percent() {  # the share of one core the process takes over $seconds
    local before after
    before=$(cpu_ticks "$1")
    sleep "$seconds"
    after=$(cpu_ticks "$1")
    awk -v t=$((after - before)) -v s="$seconds" -v hz="$ticks_per_second" \
        'BEGIN { printf "%.1f", 100 * t / (s * hz) }'
}

status=0
# look  screen      scale  arguments
while read -r look size scale first_limit args; do
    [[ -n "$wm_pid" ]] && kill "$wm_pid" && wait "$wm_pid" 2>/dev/null
    wm_pid=""
    stop_xvfb
    if ! start_xvfb "$work" "$size"; then
        echo "skipped: Xvfb cannot run here ($(head -c 200 "$work/xvfb.log"))"
        exit 0
    fi
    if [[ "$args" == *--fullscreen* ]]; then
        if ! command -v openbox >/dev/null; then
            echo "$look: skipped, openbox is not installed"
            continue
        fi
        mkdir -p "$work/config"
        XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/wm.log" 2>&1 &
        wm_pid=$!
        for _ in $(seq 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
    prog="$work/prog-$look"
    mkdir -p "$prog/save"
    cp "$build/vek.heap" "$prog/"
    # Where the frame shows: the window centred as the game asks, then widened about that
    # centre; the full screen centres the frame at the same whole scale.
    width=${size%x*}
    height=${size#*x}
    x=$(((width - 640) / 2 - (640 * scale - 640) / 2))
    y=$(((height - 480) / 2 - (480 * scale - 480) / 2))
    # shellcheck disable=SC2086
    if ! python3 "$here/scripts/framebuffer.py" first-frame "$work/first" "$work/fb/Xvfb_screen0" \
        "$x" "$y" $((630 * scale)) $((470 * scale)) 10 -- \
        "$build/wordlark" --data "$prog/" --seed 1 $args >"$work/out-$look" 2>&1; then
        echo "$look: $(tail -1 "$work/out-$look")"
        status=1
        continue
    fi
    read -r game_pid first_ms <"$work/first"
    sleep 2
    idle_start=$(idle_percent "$game_pid")
    xdotool mousemove $((x + 607 * scale)) $((y + 187 * scale)) click 1
    sleep 4
    idle_dealt=$(idle_percent "$game_pid")
    python3 "$here/scripts/framebuffer.py" shot "$work/fb/Xvfb_screen0" "$x" "$y" \
        $((640 * scale)) $((480 * scale)) "$shots/$look.png"
    end_gracefully "$game_pid"
    game_pid=""
    printf '%-13s first frame on screen %6.1f ms; idle CPU %4s %% before the deal, %4s %% after it\n' \
        "$look" "$first_ms" "$idle_start" "$idle_dealt"
    if [[ "$first_limit" != - ]]; then
        awk -v t="$first_ms" -v l="$first_limit" 'BEGIN { exit !(t <= l) }' ||
            { echo "$look: first frame over the $first_limit ms anchor"; status=1; }
    fi
    [[ "$end_status" == 0 || "$end_status" == ended ]] ||
        { echo "$look: the game ended with $end_status"; status=1; }
    for idle in "$idle_start" "$idle_dealt"; do
        awk -v p="$idle" 'BEGIN { exit !(p <= 1) }' || { echo "$look: over the 1 % anchor"; status=1; }
    done
done <<'LOOKS'
scale1 1024x768 1 - --scale 1
fit 1920x1080 2 150
full-1080 1920x1080 2 - --fullscreen
full-2160 3840x2160 4 - --fullscreen
depth8 1024x768 1 - --depth 8
LOOKS

# The Windows game under Wine in the same run, when it is built (make windows): first frame
# and idle CPU of the game's process, and of the Wine server that carries its messages.
exe="$here/build-win/wordlark.exe"
wine=/usr/lib/wine/wine64
if [[ -f "$exe" && -x "$wine" ]] && stop_xvfb && start_xvfb "$work" 1024x768; then
    export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
    # The prefix is made before the clock starts, as a player's would be.
    "$wine" cmd /c exit >/dev/null 2>&1
    prog="$work/prog-wine"
    mkdir -p "$prog/save"
    cp "$exe" "$here/build-win/vek.heap" "$prog/"
    if (cd "$prog" && python3 "$here/scripts/framebuffer.py" first-frame "$work/first" \
        "$work/fb/Xvfb_screen0" 192 144 630 470 30 -- "$wine" wordlark.exe --seed 1 \
        >"$work/out-wine" 2>&1); then
        read -r game_pid first_ms <"$work/first"
        server=$(pgrep -n -f wineserver)
        sleep 2
        server_before=$(cpu_ticks "$server")
        idle_start=$(idle_percent "$game_pid")
        server_idle=$(awk -v t=$(($(cpu_ticks "$server") - server_before)) -v s="$seconds" \
            -v hz="$ticks_per_second" 'BEGIN { printf "%.1f", 100 * t / (s * hz) }')
        xdotool mousemove $((192 + 607)) $((144 + 187)) click 1
        sleep 4
        idle_dealt=$(idle_percent "$game_pid")
        python3 "$here/scripts/framebuffer.py" shot "$work/fb/Xvfb_screen0" 192 144 640 480 \
            "$shots/wine.png"
        end_gracefully "$game_pid"
        game_pid=""
        printf '%-7s first frame on screen %6.1f ms; idle CPU %4s %% before the deal, %4s %% after it (Wine server %s %%); %d bytes\n' \
            wine "$first_ms" "$idle_start" "$idle_dealt" "$server_idle" "$(stat -c %s "$exe")"
    else
        echo "wine: $(tail -1 "$work/out-wine")"
        status=1
    fi
    "$(dirname "$wine")/wineserver" -k 2>/dev/null
fi
echo "screenshots: $shots/{scale1,fit,full-1080,full-2160,depth8,wine}.png"
exit $status
