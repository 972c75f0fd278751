# Checks shared by the Wine tests. Each records a failure and goes on; `finish` reports.
failed=0
# A command that fails outright ends the test; say which.
trap 'echo "  stopped at ${BASH_SOURCE[0]##*/}:$LINENO (exit $?): $BASH_COMMAND" >&2' ERR
# wine_tool COMMAND...: a Wine program the checks use to learn something (winepath, cmd), not
# Velmox. winepath once failed in CI between two scenarios that passed, with no Velmox running;
# such a failure is said, with its exit status, and the command run once more.
wine_tool() {
  local status=0
  "$@" || status=$?
  [ "$status" -eq 0 ] && return 0
  echo "  note: '$*' failed (exit $status); running it again" >&2
  "$@"
}
# unix_path WINDOWS_PATH, windows_path UNIX_PATH, windows_env NAME: one line each, no CR.
unix_path() { wine_tool winepath -u "$1" | tr -d '\r'; }
windows_path() { wine_tool winepath -w "$1" | tr -d '\r'; }
windows_env() { wine_tool wine cmd /c echo "%$1%" | tr -d '\r'; }
# set_registry KEY VALUE_NAME TEXT: a text value, as the user or an earlier run left it.
set_registry() { wine_tool wine reg add "$1" /v "$2" /d "$3" /f >/dev/null; }
check_failed() {
  echo "  not as expected: $*" >&2
  failed=1
}
expect_file() { [ -s "$1" ] || check_failed "file $1 exists"; }
expect_no_file() { [ ! -e "$1" ] || check_failed "file $1 is gone"; }
# expect_registry KEY VALUE_NAME EXPECTED (an empty VALUE_NAME is the key's default value)
registry_value() {
  local args=(/v "$2")
  [ -n "$2" ] || args=(/ve)
  wine reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *\([^ ].*[^ ]\|(Default)\) \{4\}REG_[A-Z_]* \{4\}\(.*\)$/\2/p' | head -1
}
expect_registry() {
  local actual
  actual=$(registry_value "$1" "$2")
  [ "$actual" = "$3" ] || check_failed "$1 [$2] = '$3' (is '$actual')"
}
expect_no_registry() {
  if wine reg query "$1" >/dev/null 2>&1; then check_failed "key $1 is gone"; fi
}
finish() {
  [ "$failed" -eq 0 ] && echo "  passed"
  return "$failed"
}

# Velmox's trace: what it passed to OutputDebugStringA, as Wine's debug channel prints it (a
# long line cut short after about 250 characters).
trace_lines() { sed -n 's/^.*OutputDebugStringA "Velmox: \(.*\)\(\\n"\|"\.\.\.\)$/\1/p' "$1" | sed 's/\\\\/\\/g'; }
# trace_shows FILE PATTERN [SECONDS]: waits until a trace line matches the extended regex.
trace_shows() {
  local tries=$((${3:-10} * 10))
  while [ "$tries" -gt 0 ]; do
    if trace_lines "$1" | grep -Eq -- "$2"; then return 0; fi
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}
wait_trace() { trace_shows "$@" || check_failed "trace line /$2/"; }
# expect_bytes FILE EXPECTED_TEXT (printf format, no trailing line end added)
expect_bytes() {
  if ! cmp -s "$1" <(printf '%s' "$2"); then
    check_failed "content of $1"
    diff <(od -c "$1") <(printf '%s' "$2" | od -c) | head -5 >&2 || true
  fi
}

# wait_started TRACE POKE: waits for Velmox's icon, answering every "Velmox Error" box that a
# browser that cannot be reached brings up at start-up as a user would: Yes, go on.
wait_started() {
  local tries=300 answered=0 boxes
  while [ "$tries" -gt 0 ]; do
    if trace_lines "$1" | grep -q "^Shell_NotifyIconA Add"; then return 0; fi
    boxes=$(trace_lines "$1" | grep -c "^MessageBoxA Velmox Error" || true)
    if [ "$boxes" -gt "$answered" ] && wine "$2" answer "Velmox Error" 6 >/dev/null 2>&1; then
      answered=$((answered + 1))
    fi
    sleep 0.1
    tries=$((tries - 1))
  done
  check_failed "Velmox started and showed its icon"
  return 1
}

# poke POKE ARGS...: tray_poke, tried again for a few seconds while the window it looks for is
# not there yet (a loaded machine may show it a little after Velmox's trace says so). A poke
# that finds no window has done nothing, so trying again is safe.
poke() {
  local program=$1 tries=50
  shift
  until wine "$program" "$@" 2>/dev/null; do
    tries=$((tries - 1))
    if [ "$tries" -le 0 ]; then
      wine "$program" "$@"
      return
    fi
    sleep 0.2
  done
}

# open_settings_by_menu TRACE POKE: a right click on the icon and "&Settings..." from its menu;
# the dialog must show.
open_settings_by_menu() {
  poke "$2" tray 516 517
  wait_trace "$1" "^TrackPopupMenu 4 items$"
  poke "$2" menu s
  wait_trace "$1" "^Settings dialog shown$"
}

# close_by_menu TRACE POKE PID: a right click on the icon, "&Close Velmox" from its menu, and the
# process must end.
close_by_menu() {
  poke "$2" tray 516 517
  wait_trace "$1" "^TrackPopupMenu 4 items$"
  poke "$2" menu c
  wait_trace "$1" "^Ended$"
  for _ in $(seq 50); do kill -0 "$3" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$3" 2>/dev/null; then check_failed "Close ends the process"; kill "$3"; fi
}
