# The failure rule of the page sinks against the stand-in browser, on Windows' real clock: a
# pop-up whose analysis fails (the focus rests on a submit button outside any form) alerts only
# when it comes more than three seconds after the run's first such failure.
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

# Two failures back to back, the first of the run: no alert. Then an ordinary script pop-up from
# another window, which alerts: so the two before it were heard and stayed quiet. All of it is
# handed over at once, so nothing but the browser's own work can come between.
drive "click news stray"
mark within
drive "popup news http://ads.example.com/first.html" "popup news http://ads.example.com/second.html" \
  "popup quiet http://ads.example.com/plain.html"
mark within-done
expect_since within 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/first.html '
expect_since within 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/second.html '
expect_since within 1 "$alert_line"
quiet_then_alert=$(since within | { grep -E "^Velmox: PageSink |$alert_line" || true; } |
  sed 's/ post=.*//' | tr '\n' '|')
[ "$quiet_then_alert" = "Velmox: PageSink 1 BeforeNavigate2 http://ads.example.com/first.html|Velmox: PageSink 2 BeforeNavigate2 http://ads.example.com/second.html|Velmox: PageSink 3 BeforeNavigate2 http://ads.example.com/plain.html|Velmox: sndPlaySoundA $app_win\\sounds\\cork.wav|" ] ||
  check_failed "two quiet failures, then the plain pop-up's alert (seen '$quiet_then_alert')"

# More than three seconds after the first failure (the stand-in itself waits, so that no slow
# start of a program can shorten it), the same failing pop-up alerts.
mark after
drive "wait 4000" "popup news http://ads.example.com/later.html"
mark after-done
expect_since after 1 '^Velmox: PageSink [0-3] BeforeNavigate2 http://ads.example.com/later.html '
expect_since after 1 "$alert_line"
expect_since after 0 '^StandIn: created '
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"
finish
