# Velmox closed from outside: a WM_CLOSE to each of its windows (what `taskkill` without /F
# sends), the session's end with the Settings dialog open, and a WM_QUIT posted while the dialog
# is open. Only the tray's window closes Velmox; it then ends as "&Close Velmox" does.
source "$root/tests/win32/wine/browser.bash"

# ended_cleanly NAME: the process has ended with status 0, the scripts carry their inactive
# names again and the icon is gone.
ended_cleanly() {
  local status=0
  for _ in $(seq 100); do kill -0 "$velmox" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$velmox" 2>/dev/null; then
    check_failed "$1: Velmox ended"
    kill "$velmox" 2>/dev/null || true
    return
  fi
  wait "$velmox" || status=$?
  [ "$status" -eq 0 ] || check_failed "$1: exit status 0 (is $status)"
  expect_no_file "$app/blocksite.script"
  expect_file "$app/blocksite.script2"
  expect_file "$app/trustsite.script2"
  has_line '^Velmox: Shell_NotifyIconA Delete' || check_failed "$1: the icon is removed"
  has_line '^Velmox: Ended$' || check_failed "$1: Velmox says it has ended"
}

# WM_CLOSE to the timers' and the page sinks' windows changes nothing: a pop-up is still caught
# in a sink and alerts, and the alert's timer still puts the bulb back. A WM_CLOSE to the tray's
# window closes Velmox.
browser_scenario shutdown-close
option PlayASound True
option BlinkLightBulb True
echo "open a http://a.example.com/" >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"
for class in Velmox.Timers Velmox.PageSink; do
  wine "$poke" close "$class" >/dev/null || check_failed "a window of $class to close"
done
mark closed
drive "popup a http://ads.example.com/pop.html"
mark popup
expect_since closed 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/pop.html '
expect_since closed 1 "$alert_line"
wait_count popup 1 '^Velmox: Shell_NotifyIconA Modify picture=on '
if has_line '^Velmox: Ended$'; then check_failed "Velmox runs on after WM_CLOSE to hidden windows"; fi
wine "$poke" close Velmox.Tray >/dev/null || check_failed "the tray's window to close"
ended_cleanly "WM_CLOSE"
has_line '^Velmox: Asked to close$' || check_failed "the close request is traced"

# The session ends with the dialog open and a change made in it: the dialog closes as by the
# system, putting back what it changed (AutoClose stored as it was), and Velmox ends.
browser_scenario shutdown-session
: >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"
open_settings_by_menu "$trace" "$poke"
poke "$poke" click 1102  # "Close Velmox ..." ticked, not applied
wine "$poke" end-session || check_failed "the session's end is accepted"
ended_cleanly "WM_ENDSESSION"
wait_trace "$trace" "^Settings dialog closed$"
wait_trace "$trace" "^SaveSetting Options\\\\AutoClose=False$"
expect_registry 'HKCU\Software\Velmox\Options' AutoClose False

# Any program can post WM_QUIT: with the dialog open, Velmox still closes both forms, in order.
browser_scenario shutdown-quit
: >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"
open_settings_by_menu "$trace" "$poke"
wine "$poke" quit || check_failed "WM_QUIT posted"
ended_cleanly "WM_QUIT"
wait_trace "$trace" "^The message loop has ended$"
wait_trace "$trace" "^Settings dialog closed$"
finish
