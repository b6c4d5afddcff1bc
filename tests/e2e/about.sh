# Help > About opens the About window with the main window's caption, the
# chart control's version and the copyright line; "&System Info..." with no
# tool in the registry's folder shows the one message, and once the folder
# holds the tool (named in another case than the one searched for) starts it;
# Esc closes the About window and the main window goes on.
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
[[ -e "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build the vizorb targets first)"
e2e_start_display
# A registry of our own beside a copy of the program: no "PATH" value, and a
# tool folder that is empty for now.
cp "$E2E_BIN/Plotwright700" "$E2E_BIN/vizorbd.so" "$E2E_TMP/run/" || e2e_fail "cannot copy the program"
cp "$E2E_BIN"/libplatform.so* "$E2E_TMP/run/" 2>/dev/null
tools="$E2E_TMP/run/tools"
mkdir -p "$tools"
printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"MSINFO"=sz:%s\n' \
    "$tools" >"$E2E_TMP/run/plotwright.hive"
E2E_BIN="$E2E_TMP/run"
e2e_start_program Plotwright700
e2e_wait_window '^Quarnel Plotwright 7\.00$' 60
main=$E2E_WIN
e2e_settle

e2e_key "$main" alt+h a
e2e_wait_window '^About Quarnel Plotwright 7\.00$' 20
about=$E2E_WIN
e2e_settle
e2e_geometry "$about"
e2e_log "About window at ${WX},${WY}, ${WW}x${WH}"
((WW == 318 && WH == 104)) || e2e_fail "About window is ${WW}x${WH}, expected 318x104"
e2e_shot 1-about

# Alt+S presses "&System Info..."; the folder holds no tool.
e2e_key "$about" alt+s
e2e_wait_window '^Plotwright$' 20
box=$E2E_WIN
e2e_shot 2-unavailable
e2e_key "$box" Return
e2e_wait_window_gone '^Plotwright$' 10

# The search for "\MSINFO32.EXE" finds it and the start uses the file found.
marker="$E2E_TMP/run/tool-started"
printf '#!/bin/sh\necho started >"%s"\n' "$marker" >"$tools/msinfo32.exe"
chmod +x "$tools/msinfo32.exe"
e2e_key "$about" alt+s
for ((i = 0; i < 100; i++)); do
    [[ -s "$marker" ]] && break
    sleep 0.1
done
[[ -s "$marker" ]] || e2e_fail "the system information tool in the registry's folder was not started"
xdotool search --onlyvisible --name '^Plotwright$' >/dev/null 2>&1 && e2e_fail "a message beside the started tool"
e2e_log "the tool in $tools was started"

e2e_key "$about" Escape
e2e_wait_window_gone '^About Quarnel' 10
e2e_program_running || e2e_fail "the program ended with the About window"
e2e_shot 3-closed
e2e_pass
