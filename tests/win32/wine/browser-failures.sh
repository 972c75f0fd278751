# The failure rule of the page sinks against the stand-in browser, on Windows' real clock. Each
# sink's own first navigation, to its starting address, reaches the handler with no opener: a
# failure, so the run's first failure is stamped at start-up and stays quiet. A pop-up whose
# analysis fails (the focus rests on a submit button outside any form) more than three seconds
# later alerts, though it is the page's first.
source "$root/tests/win32/wine/browser.bash"

browser_scenario browser-failures
option PlayASound True
start="$dir/start.txt"
{
  page_line http://news.example.com/ news.page
  echo "open news http://news.example.com/"
  echo "open quiet http://quiet.example.com/"
} >"$start"
start_velmox "$dir/trace.log" "$start"

# The four sinks' own navigations, heard at start-up and quiet.
own='^Velmox: PageSink [0-3] BeforeNavigate2 '
for _ in $(seq 100); do
  [ "$(lines | grep -Ec -- "$own" || true)" -ge 4 ] && break
  sleep 0.1
done
seen=$(lines | grep -E -- "$own" | grep -Ec 'BeforeNavigate2 http:///' || true)
[ "$seen" -eq 4 ] || check_failed "each sink's own navigation to http:/// heard (seen $seen)"
has_line "$alert_line" && check_failed "no alert for the sinks' own navigations"

# More than three seconds after the start (the stand-in itself waits, so that no slow start of a
# program can shorten it), a failing pop-up alerts.
drive "click news stray"
mark after
drive "wait 4000" "popup news http://ads.example.com/later.html"
mark after-done
expect_since after 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/later.html '
expect_since after 1 "$alert_line"
expect_since after 0 '^StandIn: created '
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"
finish
