# File commands with the real chart control and Qt's own file dialog: open
# chart data and customizing from examples/, add a second customizing, save
# it (and again, over itself, through the dialog's question), export the
# chart as a bitmap, print it to a PDF file, show a rejected customizing's
# message, cancel a dialog, and leave through File > Exit.
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
examples="$(cd "$(dirname "$0")/../../examples" && pwd)"
out="$E2E_TMP/out"
mkdir -p "$out"
[[ -f "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build vizorbd)"
export HOME="$E2E_TMP/home"
mkdir -p "$HOME"

e2e_start_display
e2e_start_program Plotwright700
e2e_wait_window '^Quarnel Plotwright 7\.00$'
main=$E2E_WIN
e2e_geometry "$main"
# Finish the wizard, so the chart fills the window.
e2e_click "$main" $((WW - 45)) $((WH - 12))

# appears <title regex> <timeout s>: true when a window of that title shows in time.
appears() {
    timeout "$2" xdotool search --sync --onlyvisible --name "$1" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait $!
}

# open_with <dialog title regex> <keys...>: sends the keys to the main window
# and waits for the dialog; sets E2E_WIN. Under load a key can reach the
# program before it has taken the focus back from a dialog that just closed,
# and is lost; the keys are then sent once more.
open_with() {
    local title="$1"
    shift
    e2e_key "$main" "$@"
    if ! appears "$title" 10; then
        e2e_log "no window '$title' after $*: sending the keys again"
        e2e_key "$main" "$@"
    fi
    e2e_wait_window "$title" 20
}

# choose <dialog title regex> <path> <keys...>: opens the dialog with the
# keys, types the path into its file name field and accepts it.
choose() {
    open_with "$1" "${@:3}"
    local dialog=$E2E_WIN
    e2e_key "$dialog" ctrl+a
    e2e_type "$dialog" "$2"
    e2e_key "$dialog" Return
    e2e_wait_window_gone "$1"
}

choose '^Open$' "$examples/quarterly-sales.xml" alt+f d
choose '^Open$' "$examples/sales-customizing.xml" ctrl+o
e2e_shot customizing-opened
choose '^Open$' "$examples/highlight-customizing.xml" ctrl+a
e2e_shot customizing-added
xdotool search --onlyvisible --name '^Plotwright$' >/dev/null 2>&1 && e2e_fail "a load was rejected"

choose '^Save As$' "$out/saved.xml" ctrl+s
[[ -f "$out/saved.xml" ]] || e2e_fail "Save Customizing wrote no file"
grep -q 'Caption="Sales by region"' "$out/saved.xml" || e2e_fail "the saved customizing lacks the opened one"
grep -q 'Caption="North highlighted"' "$out/saved.xml" || e2e_fail "the saved customizing lacks the added one"

# Saving over the file again: the dialog asks first.
open_with '^Save As$' ctrl+s
e2e_key "$E2E_WIN" ctrl+a
e2e_type "$E2E_WIN" "$out/saved.xml"
e2e_key "$E2E_WIN" Return
e2e_shot replace-question
e2e_key "$E2E_WIN" alt+y
e2e_wait_window_gone '^Save As$'

# Export Picture: a name without an extension gets ".bmp".
choose '^Save As$' "$out/chart" alt+f e Return
bmp="$out/chart.bmp"
[[ -f "$bmp" ]] || e2e_fail "Export Picture wrote no $bmp"
read -r magic width height bits < <(python3 -c '
import struct, sys
b = open(sys.argv[1], "rb").read(54)
print(b[:2].decode("latin-1"), *struct.unpack("<ii", b[18:26]), *struct.unpack("<H", b[28:30]))' "$bmp")
e2e_log "bitmap: $magic ${width}x${height}, $bits bits; window ${WW}x${WH}"
[[ "$magic" == BM && "$bits" == 24 ]] || e2e_fail "not a 24-bit bitmap: $magic, $bits bits"
# The chart fills the window's client area: its whole width, its height below the menu bar.
((width == WW && height < WH && height > WH - 40)) || e2e_fail "bitmap ${width}x${height} is not the chart's size"

# Print to a PDF file through the print dialog.
open_with '^Print$' ctrl+p
e2e_key "$E2E_WIN" alt+f ctrl+a
e2e_type "$E2E_WIN" "$out/chart.pdf"
e2e_key "$E2E_WIN" Return
e2e_wait_window_gone '^Print$'
[[ "$(head -c 4 "$out/chart.pdf" 2>/dev/null)" == "%PDF" ]] || e2e_fail "no PDF printed"

# A data file is no customizing: the control's error text in a message box.
choose '^Open$' "$examples/quarterly-sales.xml" ctrl+o
e2e_wait_window '^Plotwright$'
e2e_shot load-rejected
e2e_key "$E2E_WIN" Return
e2e_wait_window_gone '^Plotwright$'

# A cancelled dialog changes nothing and shows nothing. The main window is
# active again before the first picture, as it will be after the cancel.
e2e_activate "$main"
e2e_settle
e2e_shot before-cancel
open_with '^Open$' ctrl+o
e2e_key "$E2E_WIN" Escape
e2e_wait_window_gone '^Open$'
e2e_shot after-cancel
e2e_same_image "$E2E_SHOTS/before-cancel.png" "$E2E_SHOTS/after-cancel.png" || e2e_fail "the cancel changed the window"

# Exit ends the program at once.
e2e_key "$main" alt+f Up Return
for _ in $(seq 50); do e2e_program_running || break; sleep 0.1; done
e2e_program_running && e2e_fail "File > Exit did not end the program"
wait "$E2E_PROGRAM_PID"; status=$?
((status == 0)) || e2e_fail "the program ended with status $status"
e2e_pass
