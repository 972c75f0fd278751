# servers.lst as users have it: a file an earlier release wrote (ports, user names, closing
# dots, two spellings of one site, a byte order mark, CR LF and LF) keeps every verdict when
# Velmox reads it, saves it and reads it again; a file another program holds open without sharing
# while Velmox starts is kept as servers.lst.bak before the first save replaces it, and the
# Application event log is told.
source "$root/tests/win32/wine/browser.bash"

page_lines() {
  local name address
  for name in intranet mail shop ads news; do
    case $name in
      intranet) address=http://intranet.example:8080/ ;;
      mail) address=http://me@mail.example/ ;;
      *) address=http://$name.example/ ;;
    esac
    page_line "$address" news.page
    echo "open $name $address"
  done
}

# expect_popup WINDOW VERDICT: a script's pop-up from WINDOW is let through (allowed) or captured
# and blocked with the alert (blocked). Marks are numbered so that a scenario can ask again.
popups=0
expect_popup() {
  popups=$((popups + 1))
  local name="popup-$popups-$1"
  mark "$name"
  drive "popup $1 http://pop.example/$name.html"
  mark "$name-done"
  case $2 in
    allowed)
      expect_since "$name" 1 "^StandIn: new-window $1 NewWindow2 ppDisp=empty cancel=false\$"
      expect_since "$name" 0 '^Velmox: PageSink '
      ;;
    blocked)
      expect_since "$name" 1 "^StandIn: hand-off http://pop.example/$name.html "
      wait_count "$name" 1 "$alert_line"
      ;;
  esac
}

expect_verdicts() {
  expect_popup intranet allowed
  expect_popup mail allowed
  expect_popup shop allowed
  expect_popup ads blocked
}

browser_scenario sites-file
option BlockByDefault True
option PlayASound True
page_lines >"$dir/start.txt"
printf '\xEF\xBB\xBF"intranet.example:8080",#FALSE#\r\n"me@mail.example",#FALSE#\n"shop.example.",#FALSE#\r\n"ads.example",#TRUE#\n"ads.example:80",#FALSE#\n"a b",#FALSE#\n' \
  >"$dir/earlier"
cp "$dir/earlier" "$app/servers.lst"
start_velmox "$dir/trace.log" "$dir/start.txt"
expect_verdicts
expect_popup news blocked

# A save: the user allows news.example. The earlier file is kept byte for byte, and the new one
# holds every entry as it was written, in Velmox's own form.
mark allow
drive "context-menu news $app_win\\trustsite.script"
mark allow-done
cmp -s "$app/servers.lst.bak" "$dir/earlier" || check_failed "servers.lst.bak is the earlier file"
printf '"intranet.example:8080",#FALSE#\r\n"me@mail.example",#FALSE#\r\n"shop.example.",#FALSE#\r\n"ads.example",#TRUE#\r\n"ads.example:80",#FALSE#\r\n"a b",#FALSE#\r\n"news.example",#FALSE#\r\n' \
  >"$dir/saved"
cmp -s "$app/servers.lst" "$dir/saved" || check_failed "servers.lst holds every entry as written"
expect_popup news allowed
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"

# Read again: every verdict as before.
start_velmox "$dir/trace-again.log" "$dir/start.txt"
expect_verdicts
expect_popup news allowed
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"

# Held open by another program while Velmox starts: the list starts empty; the first save keeps
# the file as it is before it writes its own.
browser_scenario sites-file-held
page_lines >"$dir/start.txt"
printf '"a.example",#FALSE#\r\n"b.example",#TRUE#\r\n' >"$dir/held"
cp "$dir/held" "$app/servers.lst"
: >"$dir/holding"
wine "$build/file_hold.exe" "$app_win\\servers.lst" "$(windows_path "$dir/holding")" \
  >"$dir/hold.log" 2>&1 &
holder=$!
for _ in $(seq 100); do grep -qs held "$dir/hold.log" && break; sleep 0.1; done
grep -q held "$dir/hold.log" || check_failed "another program holds servers.lst ($(cat "$dir/hold.log"))"
start_velmox "$dir/trace.log" "$dir/start.txt"
rm -f "$dir/holding"
wait "$holder" || check_failed "the other program let servers.lst go"
mark disallow
drive "context-menu news $app_win\\blocksite.script"
mark disallow-done
cmp -s "$app/servers.lst.bak" "$dir/held" || check_failed "servers.lst.bak is the file that was held"
printf '"news.example",#TRUE#\r\n' >"$dir/saved"
cmp -s "$app/servers.lst" "$dir/saved" || check_failed "servers.lst holds this run's list"
kept='servers.lst could not be read when Velmox started; it is kept as servers.lst.bak before the list is saved'
expect_since disallow 1 "^Velmox: $kept\$"
# Wine's event log writes what it is told to its debug channel.
grep -qF "warn:eventlog:ReportEventW L\"$kept\"" "$trace" ||
  check_failed "the Application event log is told that servers.lst was kept"
no_stand_in_errors
close_by_menu "$trace" "$poke" "$velmox"
finish
