# The window table against the stand-in browser: the scan at start-up past forty windows and
# past windows of other names, registration while on and off with the five adjustments,
# revocation, a scan that fails half-way, and auto-close with and without the Settings dialog
# open.
source "$root/tests/win32/wine/browser.bash"

browser_scenario browser-windows
for name in AutoClose FullScreen ToolBar MenuBar StatusBar TheaterMode; do option "$name" True; done
# Forty-three browser windows, and between them an Explorer window and a name that differs only
# in letter case. (An entry that is no web browser at all stops the scan: browser-reentry.sh.)
start="$dir/start.txt"
for i in $(seq 43); do
  echo "open b$i http://site$i.example.com/"
  [ "$i" -eq 5 ] && echo "open x1 file:///C:/ name=Windows_Explorer"
  [ "$i" -eq 10 ] && echo "open x2 http://case.example.com/ name=microsoft_internet_explorer"
done >"$start"
start_velmox "$dir/trace.log" "$start"

# The first forty browser windows hold the forty slots; the rest and the others are not heard.
mark start-up
drive report
mark reported
for i in $(seq 40); do expect_since start-up 1 "^StandIn: listed b$i sinks=1$"; done
for id in b41 b42 b43 x1 x2; do expect_since start-up 1 "^StandIn: listed $id sinks=0$"; done

# So a pop-up from the forty-first is the browser's own business, one from the fortieth Velmox's.
mark popups
drive "popup b41 http://ads.example.com/41.html" "popup b40 http://ads.example.com/40.html"
mark popped
expect_since popups 1 '^StandIn: new-window b41 NewWindow2 ppDisp=empty cancel=false$'
expect_since popups 1 '^StandIn: created w1 by the browser$'
expect_since popups 1 '^StandIn: new-window b40 NewWindow2 ppDisp=set cancel=false$'
expect_since popups 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/40.html'
expect_since popups 0 '^Velmox: PageSink .*41.html'

# Ten windows close: every rescan deals the slots afresh, so the last three now have one too.
closes=()
for i in $(seq 10); do closes+=("close b$i"); done
mark closing
drive "${closes[@]}" report
mark closed
for i in $(seq 11 43); do expect_since closing 1 "^StandIn: listed b$i sinks=1$"; done
expect_since closing 1 '^StandIn: listed w1 sinks=1$'
expect_since closing 0 "^StandIn: listed b[0-9]+ sinks=0$"

# A new full-screen window in theater mode without bars is adjusted, each property read first and
# written only when its rule says so, in this order; one with its bars shown is not written to.
drive "open f1 http://fresh.example.com/ fullscreen=1 theater=1 toolbar=0 menubar=0 statusbar=0"
drive "open f2 http://plain.example.com/"
mark registered
adjusted=$(lines | grep -E '^StandIn: (opened f1|set f1 )' | tr '\n' '|')
[ "$adjusted" = "StandIn: opened f1 http://fresh.example.com/|StandIn: set f1 FullScreen false|StandIn: set f1 ToolBar -1|StandIn: set f1 MenuBar true|StandIn: set f1 StatusBar true|StandIn: set f1 TheaterMode false|" ] ||
  check_failed "f1 adjusted in order (seen '$adjusted')"
expect_since closed 0 '^StandIn: set f2 '

# Turned off, a new window is tracked but not adjusted.
poke "$poke" tray 513 514 515 514
wait_trace "$trace" "^Shell_NotifyIconA Modify picture=off tip=Velmox \(Off\)$"
mark off
drive "open f3 http://off.example.com/ fullscreen=1 theater=1 toolbar=0 menubar=0 statusbar=0" report
mark off-done
expect_since off 0 '^StandIn: set f3 '
expect_since off 1 '^StandIn: listed f3 sinks=1$'

# The last browser window closes: with AutoClose set, Velmox ends; the others do not count.
closes=("close w1" "close f1" "close f2")
for i in $(seq 11 43); do closes+=("close b$i"); done
drive "${closes[@]}"
mark all-but-one
expect_since off 0 '^Velmox: Ended$'
no_stand_in_errors
drive "close f3"
wait_trace "$trace" "^Ended$" 20
velmox_ends
has_line '^Velmox: Shell_NotifyIconA Delete' || check_failed "the icon is removed"

# A window whose name cannot be read stops a scan: Velmox asks whether to go on, and on Yes keeps
# the windows found before it. The next scan finds them all again.
browser_scenario browser-windows-dialog
option AutoClose True
printf '%s\n' "open solo http://solo.example.com/" "open a2 http://a2.example.com/" \
  "open a3 http://a3.example.com/" >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"
mark scan-failure
drive "arm a2 Name fail" "open a4 http://a4.example.com/"
poke "$poke" answer "Velmox Error" 6
drive report
mark scan-failure-done
expect_since scan-failure 1 '^StandIn: armed a2 Name: fail$'
expect_since scan-failure 1 '^Velmox: MessageBoxA answered 6$'
expect_since scan-failure 1 '^StandIn: listed solo sinks=1$'
for id in a2 a3 a4; do expect_since scan-failure 1 "^StandIn: listed $id sinks=0\$"; done
mark rescan
drive "close a4" report
mark rescan-done
for id in solo a2 a3; do expect_since rescan 1 "^StandIn: listed $id sinks=1\$"; done

# With the Settings dialog open when the last browser window closes, the icon goes at once and
# Velmox ends when the dialog is closed.
drive "close a2" "close a3"
open_settings_by_menu "$trace" "$poke"
drive "close solo"
wait_trace "$trace" "^Shell_NotifyIconA Delete"
sleep 1
kill -0 "$velmox" 2>/dev/null || check_failed "Velmox waits for the dialog"
if has_line '^Velmox: Ended$'; then check_failed "not ended while the dialog is open"; fi
no_stand_in_errors
poke "$poke" click 1001  # OK
wait_trace "$trace" "^Ended$" 20
velmox_ends
finish
