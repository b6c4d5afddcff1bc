# The real start-up: the borderless start-up window shows the picture and the
# logon user's name first, then the main window opens and the start-up window
# is gone, leaving the main window alone.
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
[[ -e "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build the vizorb targets first)"
e2e_require strace pgrep identify
e2e_start_display

# The main window loads in a few tens of milliseconds here, too fast to see the
# start-up window. strace holds the chart control library's open for 1.5 s, as
# a slow disk would, so the start-up window can be seen while the main window loads.
E2E_PROGRAM_LOG="$E2E_TMP/Plotwright700.log"
(cd "$E2E_TMP/run" && exec strace -f -o "$E2E_TMP/strace.log" -P "$E2E_BIN/vizorbd.so" -e trace=openat \
    -e inject=openat:delay_exit=1500000:when=1 "$E2E_BIN/Plotwright700") >"$E2E_PROGRAM_LOG" 2>&1 &
tracer=$!
E2E_PIDS+=("$tracer")
for ((i = 0; i < 100; i++)); do
    E2E_PROGRAM_PID=$(pgrep -P "$tracer" | head -n1)
    [[ -n "$E2E_PROGRAM_PID" ]] && break
    sleep 0.05
done
[[ -n "$E2E_PROGRAM_PID" ]] || e2e_fail "Plotwright700 did not start under strace"
# The program is ended before its tracer.
E2E_PIDS+=("$E2E_PROGRAM_PID")
e2e_log "started Plotwright700 (pid $E2E_PROGRAM_PID)"

# The program's visible windows of the start-up window's size (501 x 341 pixels).
# A window may be gone between the search and the question about its size.
splash_windows() {
    SPLASH=""
    local id out
    for id in $(xdotool search --onlyvisible --pid "$E2E_PROGRAM_PID" 2>/dev/null); do
        out=$(timeout 10 xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
        grep -q '^WIDTH=501$' <<<"$out" && grep -q '^HEIGHT=341$' <<<"$out" || continue
        SPLASH="$id $SPLASH"
        WX=$(sed -n 's/^X=//p' <<<"$out")
        WY=$(sed -n 's/^Y=//p' <<<"$out")
    done
}

# The start-up window stays up only while the main window loads: catch it
# and take its picture at once.
shot=""
for ((i = 0; i < 600; i++)); do
    e2e_program_running || e2e_fail "the program ended during start-up"
    splash_windows
    if [[ -n "$SPLASH" ]]; then
        id=${SPLASH%% *}
        # A window caught before its first paint is still black: take it again.
        if timeout 5 import -window "$id" "$E2E_SHOTS/1-splash.png" 2>/dev/null &&
            e2e_mean_gray "$E2E_SHOTS/1-splash.png" && ((E2E_GRAY > 0)); then
            shot="$E2E_SHOTS/1-splash.png"
            splash_x=$WX
            splash_y=$WY
            break
        fi
    fi
    xdotool search --onlyvisible --name '^Quarnel Plotwright 7\.00$' >/dev/null 2>&1 &&
        e2e_fail "the main window appeared before the start-up window was seen"
    sleep 0.05
done
[[ -n "$shot" ]] || e2e_fail "no start-up window within 30s"
e2e_log "start-up window at ${splash_x},${splash_y}: $shot"

# Centred across, its middle at 45 % of the height: 1280 x 1024 gives 389.5, 290.3.
((splash_x >= 389 && splash_x <= 390 && splash_y >= 290 && splash_y <= 291)) ||
    e2e_fail "start-up window at ${splash_x},${splash_y}, expected about 390,290"
size=$(/usr/bin/identify -format '%wx%h' "$shot")
[[ "$size" == 501x341 ]] || e2e_fail "start-up picture is $size"
# The user's name in grey at the top left, where the picture itself is near
# white: some dark pixels there (a one-letter name gives about 200 in 100,000).
e2e_crop "$shot" 16 16 241 17 "$E2E_TMP/user.png"
dark=$(/usr/bin/convert "$E2E_TMP/user.png" -colorspace Gray -threshold 60% -negate \
    -format '%[fx:int(100000*mean)]' info:)
((dark > 100)) || e2e_fail "no user name on the start-up window (dark share $dark in 100,000)"
# The tool's label: orange text on white.
e2e_crop "$shot" 16 248 297 33 "$E2E_TMP/tool.png"
e2e_mean_gray "$E2E_TMP/tool.png"
((E2E_GRAY > 200)) || e2e_fail "the tool label is not white (mean grey $E2E_GRAY)"

e2e_wait_window '^Quarnel Plotwright 7\.00$' 60
main=$E2E_WIN
for ((i = 0; i < 100; i++)); do
    splash_windows
    [[ -z "$SPLASH" ]] && break
    sleep 0.1
done
[[ -z "$SPLASH" ]] || e2e_fail "the start-up window is still there after the main window opened"
e2e_settle
visible=$(xdotool search --onlyvisible --pid "$E2E_PROGRAM_PID" 2>/dev/null | grep -c .)
e2e_log "visible windows of the program: $visible"
[[ "$visible" == 1 ]] || e2e_fail "$visible windows visible after start-up, expected the main window alone"
e2e_program_running || e2e_fail "the program ended after start-up"
e2e_shot 2-main
e2e_pass
