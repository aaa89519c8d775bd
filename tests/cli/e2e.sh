#!/usr/bin/env bash
# The real binary in a real X server: a deal played by mouse and keyboard through xdotool, the
# record file it leaves, and the window's pixels read back from the server's framebuffer.
set -u
build=$1
source_dir=$2
game="$build/wordlark"

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "skipped: Xvfb or xdotool is not installed"
    exit 0
fi

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody holds; the server writes its screen as an XWD file into fb/.
mkdir -p "$work/fb"
display=""
for n in $(seq 90 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -fbdir "$work/fb" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [[ -e /tmp/.X11-unix/X$n ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
        display=":$n"
        break
    fi
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
done
if [[ -z "$display" ]]; then
    echo "skipped: Xvfb cannot run here ($(head -c 200 "$work/xvfb.log"))"
    exit 0
fi
export DISPLAY=$display
unset WAYLAND_DISPLAY

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

prog="$work/prog"
mkdir -p "$prog/save"
cp "$build/vek.heap" "$prog/"
LSAN_OPTIONS="suppressions=$source_dir/tests/cli/desktop-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$game" --data "$prog/" --seed 1 >"$work/out" 2>"$work/err" &
game_pid=$!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^Wordlark$' 2>/dev/null | head -1)
    [[ -n "$window" ]] && break
    sleep 0.1
done
if [[ -z "$window" ]]; then
    fail "no window named Wordlark appeared"
    cat "$work/err"
    exit 1
fi
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$WIDTH" == 640 && "$HEIGHT" == 480 ]] || fail "window is ${WIDTH}x$HEIGHT, not 640x480"
[[ "$X" == 192 && "$Y" == 144 ]] || fail "window at $X,$Y, not centred at 192,144"

# The caption band drags the window by hand (there is no window manager to do it).
xdotool mousemove "$((X + 100))" "$((Y + 10))" mousedown 1
sleep 0.2
xdotool mousemove "$((X + 130))" "$((Y + 30))"
sleep 0.2
xdotool mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$X" == 222 && "$Y" == 164 ]] || fail "the caption drag left the window at $X,$Y, not 222,164"

click() {  # click X Y in window coordinates
    xdotool mousemove "$((X + $1))" "$((Y + $2))" click 1
    sleep 0.15
}

# Deal, sort, lay a dictionary word by keyboard and its last letter by mouse, demand; then
# clear and pass, which ends the deal as a defeat.
click 607 187
sleep 2.5
click 530 125
sleep 1.6
xdotool type --delay 60 singula
click 415 140
sleep 0.3
click 600 276
sleep 0.5
click 100 140
click 142 140
click 530 228
click 600 372
sleep 0.8

# The window's pixels back in RGB565, compared with the headless run of the same play.
python3 - "$work/fb/Xvfb_screen0" "$X" "$Y" "$source_dir/tests/replay/golden/verdict.png" \
    "$work/window.png" <<'PY' || failures=$((failures + 1))
import struct, sys, zlib

def read_png(path):
    data = open(path, "rb").read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), "unexpected PNG form"
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, lambda x, y: tuple(rows[y][x * channels:x * channels + 3])

def write_png(path, width, height, pixel):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    chunk = lambda k, d: struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d))
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                           + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))

fb = open(sys.argv[1], "rb").read()
head = struct.unpack(">25I", fb[:100])
size, bpp, stride, ncolours = head[0], head[11], head[12], head[19]
if bpp != 32 or head[7] != 0:
    sys.exit("FAIL: framebuffer is not 32-bit little-endian")
base = size + 12 * ncolours
wx, wy = int(sys.argv[2]), int(sys.argv[3])

def screen(x, y):
    at = base + (wy + y) * stride + (wx + x) * 4
    return fb[at + 2], fb[at + 1], fb[at]

def rgb565(c):
    return ((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)

write_png(sys.argv[5], 640, 480, screen)
gw, gh, golden = read_png(sys.argv[4])
# Background: the window's far corner; tiles: the pool's first tile and the computer's row.
points = [(630, 470), (5, 5), (100, 130), (300, 300)]
bad = [(p, hex(rgb565(screen(*p))), hex(rgb565(golden(*p)))) for p in points
       if rgb565(screen(*p)) != rgb565(golden(*p))]
if bad:
    sys.exit("FAIL: window pixels differ from the headless play: %s" % bad)
PY

# Closing as a session's end does: SIGTERM comes to the game as a close request. (Destroying
# the X window under it, as xdotool windowclose does, is no request: X calls that fatal.)
kill -TERM "$game_pid"
for _ in $(seq 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    fail "the game did not end after the close request"
else
    wait "$game_pid"
    status=$?
    game_pid=""
    [[ $status -eq 0 ]] || fail "the game ended with $status"
fi
[[ -s "$work/err" ]] && { echo "stderr:"; cat "$work/err"; }

record="$prog/save/Anonim.sav"
if [[ ! -f "$record" ]]; then
    fail "no record file save/Anonim.sav"
else
    games=$(python3 - "$record" <<'PY'
import struct, sys
e = open(sys.argv[1], "rb").read()
if len(e) < 540:
    sys.exit("short record")
p = bytes([e[0]] + [e[i] ^ e[i - 1] ^ (i & 0xFF) for i in range(1, 540)])
print(struct.unpack_from("<i", p, 520)[0])
PY
    )
    [[ "${games:-0}" -ge 1 ]] || fail "the record shows ${games:-no} games"
fi

if [[ -n "${WORDLARK_E2E_KEEP:-}" ]]; then
    cp "$work/window.png" "$WORDLARK_E2E_KEEP" 2>/dev/null
fi
[[ $failures -eq 0 ]] && echo "e2e: window played on $display, record games=$games"
exit $((failures > 0))
