# A named pipe in place of the registry file, with nothing writing to it:
# start-up reads an empty registry and the main window opens as usual.
source "$(dirname "$0")/lib/xvfb.sh"
e2e_init "$@"
[[ -e "$E2E_BIN/vizorbd.so" ]] || e2e_fail "no chart control $E2E_BIN/vizorbd.so (build the vizorb targets first)"
e2e_require mkfifo
e2e_start_display
# The registry file is looked for beside the program: a copy of it, with the pipe there.
cp "$E2E_BIN/Plotwright700" "$E2E_BIN/vizorbd.so" "$E2E_TMP/run/" || e2e_fail "cannot copy the program"
cp "$E2E_BIN"/libplatform.so* "$E2E_TMP/run/" 2>/dev/null
mkfifo "$E2E_TMP/run/plotwright.hive" || e2e_fail "cannot make the pipe"
E2E_BIN="$E2E_TMP/run"
e2e_start_program Plotwright700
e2e_wait_window '^Quarnel Plotwright 7\.00$' 60
e2e_settle
e2e_program_running || e2e_fail "the program ended after start-up"
[[ -p "$E2E_TMP/run/plotwright.hive" ]] || e2e_fail "the pipe is gone"
e2e_shot 1-main
e2e_pass
