# The Edit menu and Help > About with the real chart control and the desktop's
# clipboard: Copy Customizing offers the text Save Customizing writes, Copy
# Image offers the chart as the very picture Export Picture writes and drops the
# text, and About opens one modeless window titled with the caption, however
# often it is chosen (its labels are for the screenshots).
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
[[ -e "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build the vizorb targets first)"
e2e_require xclip identify iconv compare
e2e_start_display
e2e_start_program Plotwright700
e2e_wait_window '^Quarnel Plotwright 7\.00$' 60
win=$E2E_WIN
e2e_activate "$win"
e2e_settle

# targets: sets TARGETS to what the clipboard offers, one per line.
targets() { TARGETS=$(timeout 10 xclip -o -selection clipboard -t TARGETS 2>/dev/null) || TARGETS=""; }

# save_through_dialog <path>: types a path into the open Save dialog.
save_through_dialog() {
    e2e_wait_window '^Save As$' 20
    e2e_type "$E2E_WIN" "$1"
    e2e_key "$E2E_WIN" Return
    local waited=0
    until [[ -s "$1" ]]; do
        ((waited++ < 100)) || e2e_fail "nothing was saved to $1"
        sleep 0.1
    done
    e2e_wait_window_gone '^Save As$'
}

# Chart data and customizing from the examples, so there is a chart to copy.
# Alt+F is also Finish's access key: the File menu is opened with the mouse.
examples="$(cd "$(dirname "$0")/../../examples" && pwd)"
file_menu() {
    # The pointer must move for the click's move to complete.
    timeout 5 xdotool mousemove 1 1
    e2e_click "$win" 18 10
}
open_through_menu() {  # open_through_menu <menu key> <path>
    file_menu
    e2e_key "$win" "$1"
    e2e_wait_window '^Open$' 20
    e2e_type "$E2E_WIN" "$2"
    e2e_key "$E2E_WIN" Return
    e2e_wait_window_gone '^Open$'
}
open_through_menu d "$examples/quarterly-sales.xml"
open_through_menu o "$examples/sales-customizing.xml"
e2e_program_running || e2e_fail "the program ended after opening the examples"
e2e_shot loaded

# Copy Customizing, then the same customizing through File > Save Customizing.
e2e_key "$win" alt+e c
e2e_program_running || e2e_fail "the program ended after Copy Customizing"
timeout 10 xclip -o -selection clipboard -t UTF8_STRING >"$E2E_TMP/clip-utf8.xml" 2>/dev/null ||
    e2e_fail "the clipboard offers no text after Copy Customizing"
# Files hold one byte a character; the clipboard's text is UTF-8.
iconv -f UTF-8 -t ISO-8859-1 "$E2E_TMP/clip-utf8.xml" >"$E2E_TMP/clip.xml" || e2e_fail "clipboard text beyond Latin-1"
grep -q '<' "$E2E_TMP/clip.xml" || e2e_fail "the clipboard text is no XML: $(head -c 200 "$E2E_TMP/clip.xml")"
e2e_key "$win" ctrl+s
save_through_dialog "$E2E_TMP/saved.xml"
cmp "$E2E_TMP/clip.xml" "$E2E_TMP/saved.xml" ||
    e2e_fail "the clipboard's text differs from what Save Customizing wrote"
e2e_log "Copy Customizing: $(wc -c <"$E2E_TMP/saved.xml") bytes, the same as Save Customizing's file"

# Copy Image: an image alone, the size of the picture File > Export Picture writes.
e2e_key "$win" alt+e i
e2e_program_running || e2e_fail "the program ended after Copy Image"
targets
grep -qx 'image/png' <<<"$TARGETS" || e2e_fail "no image/png on the clipboard after Copy Image: $TARGETS"
grep -qx 'UTF8_STRING\|text/plain' <<<"$TARGETS" && e2e_fail "the text is still on the clipboard after Copy Image"
timeout 10 xclip -o -selection clipboard -t image/png >"$E2E_TMP/clip.png" || e2e_fail "cannot read the image"
timeout 10 xclip -o -selection clipboard -t image/bmp >"$E2E_TMP/clip.bmp" || e2e_fail "cannot read the bitmap"
clip_size=$(identify -format '%wx%h' "$E2E_TMP/clip.png" 2>/dev/null) || e2e_fail "the clipboard's PNG does not read"
bmp_size=$(identify -format '%wx%h' "$E2E_TMP/clip.bmp" 2>/dev/null) || e2e_fail "the clipboard's BMP does not read"
# In the File menu E picks the first of two items with that key; Return takes it.
file_menu
e2e_key "$win" e Return
save_through_dialog "$E2E_TMP/exported.bmp"
export_size=$(identify -format '%wx%h' "$E2E_TMP/exported.bmp" 2>/dev/null) || e2e_fail "the exported picture does not read"
e2e_geometry "$win"
e2e_log "Copy Image: PNG $clip_size, BMP $bmp_size, exported $export_size, window ${WW}x${WH}"
[[ "$clip_size" == "$export_size" && "$bmp_size" == "$export_size" ]] ||
    e2e_fail "the clipboard's image is $clip_size (BMP $bmp_size), the chart's picture $export_size"
e2e_same_image "$E2E_TMP/clip.png" "$E2E_TMP/exported.bmp" || e2e_fail "the clipboard's image is not the exported picture"
cp "$E2E_TMP/clip.png" "$E2E_SHOTS/clipboard-image.png"

# Copy Customizing does not clear: the image stays beside the text.
e2e_key "$win" alt+e c
targets
grep -qx 'image/png' <<<"$TARGETS" && grep -qx 'UTF8_STRING' <<<"$TARGETS" ||
    e2e_fail "after Copy Image then Copy Customizing the clipboard offers: $TARGETS"

# Help > About, twice: one About window, modeless, with the control's version.
e2e_key "$win" alt+h a
e2e_wait_window '^About Quarnel Plotwright 7\.00$' 20
about=$E2E_WIN
e2e_settle
e2e_shot about
e2e_activate "$win"
e2e_key "$win" alt+h a
e2e_wait_window '^About Quarnel Plotwright 7\.00$' 20
count=$(xdotool search --onlyvisible --name '^About Quarnel Plotwright 7\.00$' | wc -l)
((count == 1)) || e2e_fail "$count About windows after choosing About twice"
[[ "$E2E_WIN" == "$about" ]] || e2e_fail "About opened a second window"
e2e_activate "$win"  # the main window stays usable beside it
e2e_shot about-again
e2e_program_running || e2e_fail "the program ended"
e2e_pass
