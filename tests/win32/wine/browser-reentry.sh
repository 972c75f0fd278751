# The window table and the new-window events when the browser's events arrive in the middle of
# Velmox's own calls, as they do from a browser in another process (an outgoing call lets incoming
# ones in): a window that closes while a scan reads a name or connects or lets go of a window, a
# scan that fails while its message box is up, the two events of one request a message-loop turn
# apart, and an entry of the collection that is no web browser.
source "$root/tests/win32/wine/browser.bash"

# every_window_connected_once NAME IDS...: after mark NAME, the report lists each window with
# exactly one connection (one slot, whose events are that window's own).
every_window_connected_once() {
  local name=$1 id
  shift
  for id in "$@"; do expect_since "$name" 1 "^StandIn: listed $id sinks=1\$"; done
  expect_since "$name" 0 '^StandIn: listed .* sinks=([2-9]|[0-9]{2,})$'
}
# captured_in NAME SINK ADDRESS: after mark NAME, the pop-up went into page sink SINK, once.
captured_in() {
  expect_since "$1" 1 "^Velmox: PageSink $2 BeforeNavigate2 $3 "
  expect_since "$1" 1 "^StandIn: hand-off $3 "
  expect_since "$1" 0 '^StandIn: created '
}

browser_scenario browser-reentry
option PlayASound True
printf '%s\n' "open a http://a.example.com/" "open b http://b.example.com/" \
  "open c http://c.example.com/" >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"

# A window closes while a scan reads the name of the next one: the scan it sets off comes after
# the running one, so no window is dealt two slots. A pop-up from b is judged once: it goes into
# the first sink of the run.
mark name
drive "arm b Name close a" "open d http://d.example.com/" report
mark name-done
expect_since name 1 '^StandIn: armed b Name: close a$'
every_window_connected_once name b c d
drive "popup b http://ads.example.com/b.html"
mark name-popup
captured_in name-done 1 http://ads.example.com/b.html

# A window closes while the scan connects the next one, and one closes while the scan lets go of
# it.
mark connect
drive "arm c Advise close b" "open e http://e.example.com/" report
mark connect-done
expect_since connect 1 '^StandIn: armed c Advise: close b$'
every_window_connected_once connect c d e
mark let-go
drive "arm d Unadvise close d" "open f http://f.example.com/" report
mark let-go-done
expect_since let-go 1 '^StandIn: armed d Unadvise: close d$'
every_window_connected_once let-go c e f
drive "popup f http://ads.example.com/f.html"
mark let-go-popup
captured_in let-go-done 2 http://ads.example.com/f.html

# One request's two events a turn of the message loop apart, in either order, with the answer
# of the first carried into the second or not: judged once, so the sinks go on 3, 0, 1.
sink=3
for events in "2,3 apart" "3,2 apart" "2,3 apart fresh"; do
  name="apart-${events// /-}"
  mark "$name"
  drive "popup f http://ads.example.com/${name}.html events=$events"
  mark "$name-done"
  expect_since "$name" 2 '^StandIn: new-window f NewWindow[23] ppDisp=set cancel=false$'
  captured_in "$name" "$sink" "http://ads.example.com/${name}.html"
  expect_since "$name" 1 "$alert_line"
  sink=$(((sink + 1) % 4))
done

# A scan that fails puts up one message box; a scan asked for while it is up (the window h
# registers in the box's own message loop) waits for the answer instead of stacking a second
# box, and then runs (and fails, and asks, once more).
mark box
drive "arm c Name fail" "open g http://g.example.com/"
wait_trace "$trace" "^MessageBoxA Velmox Error: "
drive "now arm c Name fail" "now open h http://h.example.com/" "now mark box-up"
wait_line '^StandIn: mark box-up$'
expect_since box 1 '^Velmox: MessageBoxA Velmox Error: '
poke "$poke" answer "Velmox Error" 6
wait_count box 2 '^Velmox: MessageBoxA Velmox Error: '
poke "$poke" answer "Velmox Error" 6
drive "close g" report
mark box-done
every_window_connected_once box c e f h
expect_since box 2 '^Velmox: MessageBoxA answered 6$'
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"

# An entry of the collection that is no web browser: the scan that meets it fails with the
# message box (the windows before it stay tracked), and the address-bar timer sets the property
# on it by name, as on any object, and goes on with the windows after it.
browser_scenario browser-reentry-bare
option AddressBar True
printf '%s\n' "open a http://a.example.com/ statusbar=0" "open x about:blank bare" \
  "open b http://b.example.com/" >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"
has_line '^Velmox: MessageBoxA Velmox Error: .*\(Error #-2147467262: ' ||
  check_failed "the scan reports the entry without a web-browser interface"
wait_line '^StandIn: set b AddressBar true$'
has_line '^StandIn: late-bound x$' || check_failed "the timer sets AddressBar on x by name"
has_line '^StandIn: set x AddressBar true$' || check_failed "x's address bar is shown"
mark bare
drive report
mark bare-done
expect_since bare 1 '^StandIn: listed a sinks=1$'
expect_since bare 1 '^StandIn: listed b sinks=0$'
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"
finish
