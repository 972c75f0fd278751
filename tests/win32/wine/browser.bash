# Shared by the scenarios that run Velmox.exe against the stand-in browser. The stand-in lives
# inside Velmox's process: its record shares Velmox's trace, one line each, "StandIn: ...", in
# the order things happened. Driver commands are in tests/win32/standin/driver.h.
source "$root/tests/win32/wine/lib.bash"

poke="$build/tray_poke.exe"
pages="$root/tests/win32/wine/pages"

# browser_scenario NAME: a fresh application folder and no settings; sets dir, app, app_win.
browser_scenario() {
  dir="$work/$1"
  app="$dir/app"
  rm -rf "$dir" && mkdir -p "$dir" && cp -r "$root/dist/Velmox" "$app"
  app_win=$(windows_path "$app")
  wine reg delete 'HKCU\Software\Velmox' /f >/dev/null 2>&1 || true
}
# option NAME VALUE: a Velmox option, stored before it starts.
option() { set_registry 'HKCU\Software\Velmox\Options' "$1" "$2"; }
# page_line ADDRESS FILE: the start-file line that describes the page at ADDRESS.
page_line() { echo "page $1 $(windows_path "$pages/$2")"; }

# start_velmox TRACE START_FILE: Velmox.exe with the stand-in running START_FILE's commands
# first (the windows open before Velmox starts); sets velmox to its process.
start_velmox() {
  trace=$1
  local commands
  commands=$(windows_path "$2")
  : >"$trace"
  STANDIN_BROWSER_START=$commands WINEDEBUG=-all,warn+debugstr,warn+eventlog,+timestamp wine "$app/Velmox.exe" 2>"$trace" &
  velmox=$!
  wait_started "$trace" "$poke"
}

# drive COMMAND...: hands the commands to the stand-in in Velmox, in order.
drive() { wine "$build/standin_drive.exe" "$@" || check_failed "the stand-in took: $*"; }

# Velmox's and the stand-in's lines, each with its "Velmox: " or "StandIn: ".
lines() {
  sed -n 's/^.*OutputDebugStringA "\(\(Velmox\|StandIn\): .*\)\(\\n"\|"\.\.\.\)$/\1/p' "$trace" | sed 's/\\\\/\\/g'
}
# mark NAME: the stand-in records "mark NAME" once everything handed to it before has happened
# (a page sink's navigation included); waits for it. `since NAME` prints the lines after it.
mark() {
  drive "mark $1"
  wait_line "^StandIn: mark $1\$" 20
}
since() {
  read_since "$1"
  printf '%s\n' "$since_text"
}
# The lines after mark NAME into since_text, read again only when the trace has grown.
read_since() {
  local key
  key="$1:$(wc -c <"$trace")"
  [ "$key" = "${since_key:-}" ] && return
  since_key=$key
  since_text=$(lines | sed -n "/^StandIn: mark $1\$/,\$p" | tail -n +2)
}
# has_line REGEX: some line matches (the whole trace is read, so no pipe is cut short).
has_line() { [ "$(lines | grep -Ec -- "$1" || true)" -gt 0 ]; }
# wait_line REGEX [SECONDS]: waits until a line matches.
wait_line() {
  local tries=$((${2:-10} * 10))
  while [ "$tries" -gt 0 ]; do
    if has_line "$1"; then return 0; fi
    sleep 0.1
    tries=$((tries - 1))
  done
  check_failed "a line /$1/"
  return 1
}
# expect_since NAME COUNT REGEX: how many lines after mark NAME match.
expect_since() {
  local seen
  read_since "$1"
  seen=$(printf '%s\n' "$since_text" | grep -Ec -- "$3" || true)
  [ "$seen" -eq "$2" ] || check_failed "$2 line(s) /$3/ after mark $1 (seen $seen)"
}
# wait_count NAME COUNT REGEX: waits until that many lines after mark NAME match.
wait_count() {
  local tries=100 seen
  while [ "$tries" -gt 0 ]; do
    read_since "$1"
    seen=$(printf '%s\n' "$since_text" | grep -Ec -- "$3" || true)
    [ "$seen" -ge "$2" ] && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  check_failed "$2 line(s) /$3/ after mark $1 (seen $seen)"
  return 1
}
# value_since NAME SED_EXPRESSION: the first value a sed -n expression prints after mark NAME.
value_since() {
  read_since "$1"
  printf '%s\n' "$since_text" | sed -n "$2" | sed -n 1p
}

# An alert is the bulb's picture and the sound, whichever the options ask for.
alert_line='^Velmox: sndPlaySoundA .*cork\.wav$'

# no_stand_in_errors: every command the stand-in was given made sense to it.
no_stand_in_errors() {
  if has_line '^StandIn: error'; then check_failed "$(lines | grep -m1 '^StandIn: error')"; fi
}

# velmox_ends: the process ends on its own within a few seconds.
velmox_ends() {
  for _ in $(seq 100); do kill -0 "$velmox" 2>/dev/null || return 0; sleep 0.1; done
  check_failed "Velmox ended"
  kill "$velmox" 2>/dev/null || true
}
