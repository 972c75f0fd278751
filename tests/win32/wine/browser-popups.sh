# The road of a pop-up against the stand-in browser: a script's pop-up captured in a page sink
# (Velmox's real one, Wine's web-browser control) and blocked with the alert; the user's link,
# form submission (by its submit or its image button) and link in a named frame opened for them;
# a script's pop-up that NewWindow3's flags call no user's blocked whatever the focus; Ctrl held
# standing aside; one request raised as both NewWindow2 and NewWindow3 judged once; the
# context menu's command navigations; and LinkTarget "_top".
source "$root/tests/win32/wine/browser.bash"

# A pop-up that was captured, as the browser saw it: the sink's object left in ppDisp and the
# address handed to it; and as Velmox saw it: its page sink's BeforeNavigate2.
expect_captured() {
  expect_since "$1" 1 "^StandIn: new-window $2 NewWindow2 ppDisp=set cancel=false\$"
  expect_since "$1" 1 "^StandIn: hand-off $3 "
  expect_since "$1" 1 "^Velmox: PageSink [0-3] BeforeNavigate2 $3 "
}
# The window Velmox opened for the user: created, navigated to ADDRESS in its top frame, shown.
expect_opened_for_user() {
  local window
  window=$(value_since "$1" 's/^StandIn: created \(w[0-9]*\) by a caller$/\1/p')
  [ -n "$window" ] || { check_failed "a window created for the user after mark $1"; return; }
  expect_since "$1" 1 "^StandIn: navigate $window $2 flags=none target=_top post=none\$"
  expect_since "$1" 1 "^StandIn: set $window Visible true\$"
  expect_since "$1" 1 "^StandIn: loaded $window $2\$"
}

browser_scenario browser-popups
option PlayASound True
start="$dir/start.txt"
{
  page_line http://news.example.com/ news.page
  page_line http://frames.example.com/ frames.page
  page_line http://frames.example.com/menu.html frames-menu.page
  page_line http://frames.example.com/main.html frames-main.page
  echo "open news http://news.example.com/"
  echo "open frames http://frames.example.com/"
} >"$start"
start_velmox "$dir/trace.log" "$start"

# A script opens a pop-up while nothing was clicked: captured, blocked, the bulb lights up and
# the sound plays; no window opens.
mark script
drive "popup news http://ads.example.com/pop.html"
mark script-done
expect_captured script news http://ads.example.com/pop.html
wait_trace "$trace" "^Shell_NotifyIconA Modify picture=alert tip=Velmox \(On\)$"
expect_since script 1 "$alert_line"
expect_since script 0 '^StandIn: created '

# The user clicks a link with a new-window target: opened for them in a new, visible window.
mark link
drive "click news more"
wait_line '^StandIn: loaded w[0-9]+ http://news.example.com/more.html$' 20
mark link-done
expect_captured link news http://news.example.com/more.html
expect_since link 1 '^StandIn: blur news more$'
expect_opened_for_user link http://news.example.com/more.html
expect_since link 0 "$alert_line"

# The user submits a form that posts into a new window: the new window gets the post data the
# page sink was given, byte for byte.
mark form
drive "click news go"
wait_line '^StandIn: loaded w[0-9]+ http://news.example.com/cgi-bin/find.pl$' 20
mark form-done
expect_captured form news http://news.example.com/cgi-bin/find.pl
received=$(value_since form 's/^Velmox: PageSink [0-3] BeforeNavigate2 [^ ]* post=\([0-9a-f]*\)$/\1/p')
sent=$(printf 'q=velmox&lang=en' | od -An -tx1 | tr -d ' \n')
# (Wine's control delivers as many bytes as were posted, but not those bytes: see the note in
# tests/win32/page_sink_test.cpp. On Windows the two are the same.)
[ "${#received}" -eq "${#sent}" ] ||
  check_failed "the sink got the form's ${#sent} hex digits of post data (got '$received')"
window=$(value_since form 's/^StandIn: created \(w[0-9]*\) by a caller$/\1/p')
expect_since form 1 "^StandIn: navigate $window http://news.example.com/cgi-bin/find.pl flags=0 target=_top post=$received\$"
expect_since form 1 "^StandIn: set $window Visible true\$"
expect_since form 0 "$alert_line"

# An image button submits the same form: opened for the user too.
mark image
drive "click news picture"
wait_count image 1 '^StandIn: loaded w[0-9]+ http://news.example.com/cgi-bin/find.pl$'
mark image-done
expect_captured image news http://news.example.com/cgi-bin/find.pl
expect_since image 1 '^StandIn: blur news picture$'
expect_since image 1 '^StandIn: created w[0-9]+ by a caller$'
expect_since image 0 "$alert_line"

# The page's script moves the focus to its own link and opens that address, raised as
# NewWindow3, whose flags say no user action started it: blocked, though the focus leads there.
# The user's own click on that link, raised the same way, opens.
mark script-focus
drive "focus news more" "popup news http://news.example.com/more.html events=3"
mark script-focus-done
expect_since script-focus 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://news.example.com/more.html '
expect_since script-focus 1 "$alert_line"
expect_since script-focus 0 '^StandIn: created '
expect_since script-focus 0 '^StandIn: blur '
mark user-flag
drive "click news more events=3"
wait_count user-flag 1 '^StandIn: loaded w[0-9]+ http://news.example.com/more.html$'
mark user-flag-done
expect_since user-flag 1 '^StandIn: created w[0-9]+ by a caller$'
expect_since user-flag 0 "$alert_line"

# The user clicks a link inside the frame named "main": found by its name and opened.
mark frame
drive "click frames story"
wait_line '^StandIn: loaded w[0-9]+ http://frames.example.com/story.html$' 20
mark frame-done
expect_captured frame frames http://frames.example.com/story.html
expect_since frame 1 '^StandIn: blur frames story$'
expect_opened_for_user frame http://frames.example.com/story.html
expect_since frame 0 "$alert_line"

# Ctrl held down (a real key press on the virtual X server, into the browser window that has
# the focus): Velmox stands aside and the browser opens the pop-up itself.
mark ctrl
xdotool search --name '^news - stand-in browser$' windowfocus
sleep 0.3
xdotool keydown ctrl
drive "wait-key 17 down" "popup news http://ads.example.com/ctrl.html"
mark ctrl-done
xdotool keyup ctrl
drive "wait-key 17 up"
expect_since ctrl 1 '^StandIn: new-window news NewWindow2 ppDisp=empty cancel=false$'
expect_since ctrl 1 '^StandIn: created w[0-9]+ by the browser$'
expect_since ctrl 1 '^StandIn: shown w[0-9]+$'
expect_since ctrl 0 '^Velmox: PageSink '
expect_since ctrl 0 '^StandIn: error: '

# One request raised as both NewWindow2 and NewWindow3, in either order: judged once, one sink,
# one alert.
for order in 2,3 3,2; do
  mark "both-$order"
  drive "popup news http://ads.example.com/both-$order.html events=$order"
  mark "both-$order-done"
  expect_since "both-$order" 2 "^StandIn: new-window news NewWindow[23] ppDisp=set cancel=false\$"
  expect_since "both-$order" 1 "^StandIn: hand-off http://ads.example.com/both-$order.html "
  expect_since "both-$order" 1 "^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/both-$order.html "
  expect_since "both-$order" 1 "$alert_line"
done

# The context menu's entries: each command navigation is cancelled in the window's slot and
# servers.lst is written; an ordinary navigation goes on.
token=$(registry_value 'HKCU\Software\Velmox\Data' URLPrefix)
mark menu
drive "context-menu news $app_win\\blocksite.script" "context-menu frames $app_win\\trustsite.script" \
  "navigate news http://news.example.com/"
mark menu-done
expect_since menu 1 "^StandIn: before-navigate news $(printf '%s' "$app_win" | sed 's/\\/\\\\/g')\\\\b$token.html cancelled\$"
expect_since menu 1 "^StandIn: before-navigate frames .*\\\\t$token.html cancelled\$"
expect_since menu 1 '^StandIn: before-navigate news http://news.example.com/ allowed$'
expect_since menu 0 '^StandIn: loaded (news|frames) .*\.html$'
printf '"news.example.com",#TRUE#\r\n"frames.example.com",#FALSE#\r\n' >"$dir/servers.expected"
cmp -s "$app/servers.lst" "$dir/servers.expected" || check_failed "servers.lst holds both sites"
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"

# LinkTarget "_top": the user's link opens in the opener's own window.
browser_scenario browser-popups-top
option LinkTarget _top
start_velmox "$dir/trace.log" "$start"
mark top
drive "click news more"
wait_line '^StandIn: loaded news http://news.example.com/more.html$' 20
mark top-done
expect_captured top news http://news.example.com/more.html
expect_since top 1 '^StandIn: navigate news http://news.example.com/more.html flags=none target=_top post=none$'
expect_since top 1 '^StandIn: before-navigate news http://news.example.com/more.html allowed$'
expect_since top 0 '^StandIn: created '
expect_since top 0 "$alert_line"
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"
finish
