# The designer window with the real chart control: it opens at wizard step 1
# with Back disabled, Alt+N moves to step 2, Finish hides the buttons and the
# chart takes the whole window. Screenshots: 1-step1, 2-step2, 3-finished.
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
[[ -e "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build the vizorb targets first)"
e2e_require compare
e2e_start_display
e2e_start_program Plotwright700
e2e_wait_window '^Quarnel Plotwright 7\.00$' 60
win=$E2E_WIN
e2e_activate "$win"
e2e_settle
e2e_geometry "$win"
e2e_log "window at ${WX},${WY}, ${WW}x${WH} pixels"
e2e_program_running || e2e_fail "the program ended"

# The wizard buttons sit in one row flush with the window's bottom right,
# 1335 x 375 twips (89 x 25 pixels) each and 100 twips (6.67 pixels) apart.
# Each probe is the inside of a button, clear of its frame.
probe() {  # probe <shot> <button 0=Finish 1=Next 2=Back> <out png>
    local right=$(((89 * ($2 + 1) * 15 + 100 * $2) / 15))
    e2e_crop "$1" $((WX + WW - right + 6)) $((WY + WH - 25 + 5)) 77 15 "$3"
}
# Share of pixels darker than mid-grey inside a probe: a caption drawn as
# enabled text has some, a disabled (greyed) caption or an empty area none.
dark_share() {  # dark_share <png>: sets DARK (per mille)
    DARK=$(/usr/bin/convert "$1" -colorspace Gray -threshold 35% -negate -format '%[fx:int(1000*mean)]' info: 2>/dev/null)
    [[ -n "$DARK" ]] || e2e_fail "cannot measure $1"
}

e2e_shot 1-step1
step1=$E2E_SHOT
probe "$step1" 2 "$E2E_TMP/back1.png"
probe "$step1" 1 "$E2E_TMP/next1.png"
probe "$step1" 0 "$E2E_TMP/finish1.png"
dark_share "$E2E_TMP/back1.png"; back1=$DARK
dark_share "$E2E_TMP/next1.png"; next1=$DARK
dark_share "$E2E_TMP/finish1.png"; finish1=$DARK
e2e_log "step 1: dark share Back $back1, Next $next1, Finish $finish1 (per mille)"
((next1 > 20 && finish1 > 20)) || e2e_fail "step 1: Next and Finish should show enabled captions (Next $next1, Finish $finish1)"
((back1 < 5)) || e2e_fail "step 1: Back should be disabled (dark share $back1)"

e2e_key "$win" alt+n
e2e_program_running || e2e_fail "the program ended after Alt+N"
e2e_shot 2-step2
step2=$E2E_SHOT
probe "$step2" 2 "$E2E_TMP/back2.png"
dark_share "$E2E_TMP/back2.png"; back2=$DARK
e2e_log "step 2: dark share Back $back2"
((back2 > 20)) || e2e_fail "step 2: Back should be enabled after Alt+N (dark share $back2)"

# Alt+F is the access key of both the File menu and Finish: the first press
# only moves the focus to Finish, and Space presses it.
e2e_key "$win" alt+f space
e2e_program_running || e2e_fail "the program ended after Finish"
e2e_shot 3-finished
done=$E2E_SHOT
for b in 0 1 2; do
    probe "$done" "$b" "$E2E_TMP/after$b.png"
    probe "$step2" "$b" "$E2E_TMP/before$b.png"
    e2e_same_image "$E2E_TMP/after$b.png" "$E2E_TMP/before$b.png" && e2e_fail "after Finish button $b is still drawn"
done
# The chart now reaches the bottom edge: the strip beside and below where
# the button row was, plain window background before, is the chart's now.
e2e_crop "$step2" $((WX + 10)) $((WY + WH - 20)) $((WW / 2)) 12 "$E2E_TMP/strip-before.png"
e2e_crop "$done" $((WX + 10)) $((WY + WH - 20)) $((WW / 2)) 12 "$E2E_TMP/strip-after.png"
e2e_same_image "$E2E_TMP/strip-before.png" "$E2E_TMP/strip-after.png" &&
    e2e_fail "after Finish the chart does not reach the bottom edge"
e2e_program_running || e2e_fail "the program ended"
e2e_pass
