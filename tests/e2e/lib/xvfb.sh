# Shell functions for the end-to-end checks: a private X server with a window
# manager, the program under test, its windows, keys and screenshots.
#
# Use from a script in tests/e2e/ (run as `bash script.sh <bin dir>`):
#
#   source "$(dirname "$0")/lib/xvfb.sh"
#   e2e_init "$@"                       # bin dir, temp dir, watchdog, cleanup trap
#   e2e_start_display                   # Xvfb on a free display, then openbox
#   e2e_start_program Plotwright700     # from the bin dir, output logged
#   e2e_wait_window '^Quarnel Plotwright 7\.00$'   # sets E2E_WIN
#   e2e_key "$E2E_WIN" alt+n
#   e2e_shot step2                      # $E2E_SHOTS/step2.png, path in E2E_SHOT
#   e2e_pass
#
# The functions return what they find in variables (E2E_WIN, E2E_SHOT, WX...),
# not on stdout: a failure inside $(...) would end only that subshell.
# Every wait has a timeout and fails the test with one "E2E FAIL:" line; every
# process started here is ended when the script exits, however it exits.
# Environment: E2E_SHOTS (folder for screenshots; default a folder in the temp
# dir, kept and printed at the end), E2E_TIMEOUT (whole-script limit in seconds,
# default 240, below CTest's 300 so the cleanup still runs), E2E_SCREEN
# (default 1280x1024x24).

E2E_PIDS=()
E2E_TMP=""
E2E_BIN=""
E2E_NAME="$(basename "${0%.sh}")"
E2E_PROGRAM_PID=""
E2E_PROGRAM_LOG=""

e2e_log() { printf '[e2e %s] %s\n' "$E2E_NAME" "$*" >&2; }

e2e_fail() {
    printf 'E2E FAIL: %s: %s\n' "$E2E_NAME" "$*" >&2
    if [[ -n "$E2E_PROGRAM_LOG" && -s "$E2E_PROGRAM_LOG" ]]; then
        e2e_log "last lines of the program's output:"
        tail -n 20 "$E2E_PROGRAM_LOG" >&2
    fi
    if [[ -n "${DISPLAY:-}" && -n "${E2E_SHOTS:-}" ]] && command -v import >/dev/null; then
        timeout 10 import -window root "$E2E_SHOTS/failure.png" 2>/dev/null &&
            e2e_log "screen at failure: $E2E_SHOTS/failure.png"
    fi
    exit 1
}

e2e_pass() {
    e2e_log "passed; screenshots in $E2E_SHOTS"
    exit 0
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "the tool '$tool' is not installed"
    done
}

# Ends every process started here, newest first: TERM, a short grace, then KILL.
e2e_cleanup() {
    local status=$?
    trap - EXIT INT TERM
    local i pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill -TERM "$pid" 2>/dev/null || continue
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [[ -n "$E2E_TMP" && -d "$E2E_TMP" ]] && rm -rf "$E2E_TMP/run"
    exit "$status"
}

# e2e_init <bin dir>: checks the tools, makes the temp and screenshot folders,
# arms the cleanup and the whole-script watchdog.
e2e_init() {
    E2E_BIN="${1:-}"
    [[ -n "$E2E_BIN" && -d "$E2E_BIN" ]] || e2e_fail "usage: bash $0 <bin dir> (got '${E2E_BIN}')"
    E2E_BIN="$(cd "$E2E_BIN" && pwd)"
    e2e_require Xvfb openbox xdotool xprop xwininfo import timeout
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/e2e-${E2E_NAME}.XXXXXX")" || e2e_fail "no temp folder"
    mkdir -p "$E2E_TMP/run"
    export E2E_SHOTS="${E2E_SHOTS:-$E2E_TMP/shots}"
    mkdir -p "$E2E_SHOTS" || e2e_fail "cannot create the screenshot folder $E2E_SHOTS"
    trap e2e_cleanup EXIT
    trap 'e2e_log "interrupted"; exit 130' INT
    trap 'printf "E2E FAIL: %s: whole-script limit of %ss reached\n" "$E2E_NAME" "${E2E_TIMEOUT:-240}" >&2; exit 1' TERM
    local limit="${E2E_TIMEOUT:-240}" self=$$
    (
        trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
        sleep "$limit" &
        sleeper=$!
        wait "$sleeper" && kill -TERM "$self" 2>/dev/null
    ) &
    E2E_PIDS+=($!)
}

# e2e_start_display: Xvfb on a display number it picks itself (-displayfd),
# then openbox, since focus and activation need a window manager.
e2e_start_display() {
    local screen="${E2E_SCREEN:-1280x1024x24}" numfile="$E2E_TMP/run/display"
    : >"$numfile"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
        3>"$numfile" >"$E2E_TMP/run/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    local xvfb=$! waited=0
    until [[ -s "$numfile" ]] && grep -q '^[0-9]\+$' "$numfile"; do
        kill -0 "$xvfb" 2>/dev/null || { cat "$E2E_TMP/run/xvfb.log" >&2; e2e_fail "Xvfb did not start"; }
        ((waited++ < 100)) || e2e_fail "Xvfb did not report its display within 10s"
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$numfile")"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR="$E2E_TMP/run/xdg"
    mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
    e2e_log "Xvfb on $DISPLAY ($screen)"

    openbox --sm-disable >"$E2E_TMP/run/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    local wm=$!
    waited=0
    # openbox marks the root window once it manages the screen.
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        kill -0 "$wm" 2>/dev/null || { cat "$E2E_TMP/run/openbox.log" >&2; e2e_fail "openbox did not start"; }
        ((waited++ < 100)) || e2e_fail "openbox did not take the screen within 10s"
        sleep 0.1
    done
}

# e2e_start_program <name in bin dir> [args...]: starts it in the background;
# its output goes to $E2E_TMP/<name>.log.
e2e_start_program() {
    local name="$1"
    shift
    local exe="$E2E_BIN/$name"
    [[ -x "$exe" ]] || e2e_fail "no program $exe (build it first)"
    E2E_PROGRAM_LOG="$E2E_TMP/$name.log"
    (cd "$E2E_TMP/run" && exec "$exe" "$@") >"$E2E_PROGRAM_LOG" 2>&1 &
    E2E_PROGRAM_PID=$!
    E2E_PIDS+=("$E2E_PROGRAM_PID")
    e2e_log "started $name (pid $E2E_PROGRAM_PID)"
}

# e2e_program_running: true while the last started program still runs.
e2e_program_running() { [[ -n "$E2E_PROGRAM_PID" ]] && kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; }

# e2e_wait_window <title regex> [timeout s, default 30]: sets E2E_WIN to the id
# of the first visible window whose title matches.
e2e_wait_window() {
    local title="$1" limit="${2:-30}" end=$((SECONDS + ${2:-30}))
    E2E_WIN=""
    # xdotool's --sync search can give up early when a window it is looking at
    # goes away (the start-up window does), so search again until the limit.
    while [[ -z "$E2E_WIN" ]] && ((SECONDS < end)); do
        # In the background, so that the watchdog's signal is not held up by it.
        timeout "$((end - SECONDS + 1))" xdotool search --sync --onlyvisible --name "$title" \
            >"$E2E_TMP/run/window" 2>/dev/null &
        E2E_PIDS+=($!)
        wait $!
        E2E_WIN=$(head -n1 "$E2E_TMP/run/window")
        [[ -n "$E2E_WIN" ]] || sleep 0.2
    done
    if [[ -z "$E2E_WIN" ]]; then
        e2e_program_running || e2e_fail "the program ended before a window '$title' appeared"
        e2e_fail "no window '$title' within ${limit}s"
    fi
    e2e_log "window '$title' is $E2E_WIN"
}

# e2e_wait_window_gone <title regex> [timeout s, default 10]
e2e_wait_window_gone() {
    local title="$1" limit="${2:-10}" waited=0
    while xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        ((waited++ < limit * 10)) || e2e_fail "window '$title' still there after ${limit}s"
        sleep 0.1
    done
}

# e2e_activate <window id>: raises and focuses the window, waiting until it has
# the focus.
e2e_activate() {
    timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 ||
        timeout 10 xdotool windowfocus --sync "$1" >/dev/null 2>&1 ||
        e2e_fail "cannot activate window $1"
}

# e2e_key <window id> <key>...: focuses the window and types the keys through
# XTEST (real key events, as from a keyboard), e.g. alt+n ctrl+o Escape.
e2e_key() {
    local id="$1"
    shift
    e2e_activate "$id"
    timeout 10 xdotool key --clearmodifiers --delay 60 "$@" || e2e_fail "xdotool key $* failed"
    e2e_settle
}

# e2e_type <window id> <text>
e2e_type() {
    local id="$1"
    shift
    e2e_activate "$id"
    timeout 20 xdotool type --clearmodifiers --delay 20 "$*" || e2e_fail "xdotool type failed"
    e2e_settle
}

# e2e_click <window id> <x> <y> [button]: clicks at window-relative pixels.
e2e_click() {
    e2e_activate "$1"
    timeout 10 xdotool mousemove --window "$1" --sync "$2" "$3" click "${4:-1}" || e2e_fail "click at $2,$3 failed"
    e2e_settle
}

# e2e_settle: lets the program handle what was sent. The X server is
# synchronous with us; the program repaints on its next event-loop turns, which
# a screenshot that no longer changes shows are done.
e2e_settle() {
    local prev="" cur n=0
    while ((n++ < 20)); do
        cur=$(timeout 10 import -window root -depth 8 rgb:- 2>/dev/null | md5sum)
        [[ -n "$prev" && "$cur" == "$prev" ]] && return 0
        prev=$cur
        sleep 0.1
    done
}

# e2e_shot <name>: screenshot of the whole screen to $E2E_SHOTS/<name>.png;
# sets E2E_SHOT to its path.
e2e_shot() {
    E2E_SHOT="$E2E_SHOTS/$1.png"
    timeout 20 import -window root "$E2E_SHOT" 2>/dev/null || e2e_fail "screenshot $1 failed"
    e2e_log "screenshot $E2E_SHOT"
}

# e2e_geometry <window id>: sets WX WY WW WH (root position and size of the
# program's own window, without the frame).
e2e_geometry() {
    local out
    # xwininfo's absolute corner holds also for a window inside a manager's frame.
    out=$(timeout 10 xwininfo -id "$1") || e2e_fail "no geometry for window $1"
    WX=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$out")
    WY=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$out")
    WW=$(sed -n 's/^ *Width: *//p' <<<"$out")
    WH=$(sed -n 's/^ *Height: *//p' <<<"$out")
    [[ -n "$WX" && -n "$WY" && -n "$WW" && -n "$WH" ]] || e2e_fail "cannot read the geometry of window $1"
}

# e2e_crop <png> <x> <y> <w> <h> <out png>: a part of a screenshot.
e2e_crop() {
    /usr/bin/convert "$1" -crop "${4}x${5}+${2}+${3}" +repage "$6" 2>/dev/null || e2e_fail "cannot crop $1"
}

# e2e_same_image <a png> <b png>: true when the two images are pixel-identical.
e2e_same_image() {
    local diff
    diff=$(compare -metric AE "$1" "$2" null: 2>&1) || true
    [[ "$diff" == "0" ]]
}

# e2e_mean_gray <png>: sets E2E_GRAY to the mean brightness of an image, 0..255.
e2e_mean_gray() {
    E2E_GRAY=$(/usr/bin/convert "$1" -colorspace Gray -format '%[fx:int(255*mean)]' info: 2>/dev/null)
    [[ -n "$E2E_GRAY" ]] || e2e_fail "cannot measure $1"
}
