# Velmox's start-up and close on Wine: the generated files, the token in the registry, the
# script renames, a second start, the tray callback and menu, and Close ending the process.
# No browser window is open (the browser paths are the browser-*.sh scenarios').
source "$root/tests/win32/wine/lib.bash"

app="$work/startup/app"
rm -rf "$work/startup" && mkdir -p "$work/startup" && cp -r "$root/dist/Velmox" "$app"
app_win=$(windows_path "$app")
poke="$build/tray_poke.exe"
trace="$work/startup/trace.log"
wine reg delete 'HKCU\Software\Velmox' /f >/dev/null 2>&1 || true

WINEDEBUG=-all,warn+debugstr wine "$app/Velmox.exe" 2>"$trace" &
velmox=$!
wait_started "$trace" "$poke"
wait_trace "$trace" "^Shell_NotifyIconA Add picture=on tip=Velmox \(On\)$"

# The token: ten digits in the per-user settings.
token=$(registry_value 'HKCU\Software\Velmox\Data' URLPrefix)
[[ "$token" =~ ^[0-9]{10}$ ]] || check_failed "a ten-digit token in the registry (is '$token')"
# Any program of the session can read the trace: the token is not in it.
if grep -q "$token" "$trace"; then check_failed "the trace leaves the token out"; fi

# The four generated files, byte for byte.
script_for() {
  printf '<SCRIPT language=VBScript>\r\nexternal.menuArguments.Parent.Parent.Parent.navigate "file://%s\\%s%s.html"\r\n</SCRIPT>' \
    "$app_win" "$1" "$token"
}
page_for() {
  local what="Could not $1 pop-ups for this site"
  printf '<html>\r\n<head>\r\n<title>%s</title>\r\n</head>\r\n<body>\r\n<script language=VBScript>\r\nhistory.back\r\n</script>\r\nError: %s.<br>\r\nTo allow/disallow a site'"'"'s pop-ups, Velmox must be running.<br>\r\nPlease run Velmox and try again.\r\n</body>\r\n</html>' \
    "$what" "$what"
}
expect_bytes "$app/blocksite.script" "$(script_for b)"
expect_bytes "$app/trustsite.script" "$(script_for t)"
expect_bytes "$app/b$token.html" "$(page_for disallow)"
expect_bytes "$app/t$token.html" "$(page_for allow)"

# A second start ends at once and leaves the first running.
if ! WINEDEBUG=-all timeout 30 wine "$app/Velmox.exe"; then check_failed "a second start ends at once"; fi
wine "$poke" window Velmox.Tray || check_failed "the first instance still runs"

# A double click turns Velmox off and on again; the tray shows it.
poke "$poke" tray 513 514 515 514
wait_trace "$trace" "^Shell_NotifyIconA Modify picture=off tip=Velmox \(Off\)$"
poke "$poke" tray 513 514 515 514
wait_trace "$trace" "^Shell_NotifyIconA Modify picture=on tip=Velmox \(On\)$"

# The shell's taskbar comes back (Explorer restarted): the icon is added again.
wine "$poke" taskbar-created
wait_trace "$trace" "^Shell_NotifyIconA Add again"

# A right click opens the menu; its Close item ends Velmox with the scripts renamed back.
close_by_menu "$trace" "$poke" "$velmox"
expect_no_file "$app/blocksite.script"
expect_file "$app/blocksite.script2"
expect_file "$app/trustsite.script2"
expect_bytes "$app/blocksite.script2" "$(script_for b)"
trace_lines "$trace" | grep -q "^Shell_NotifyIconA Delete" || check_failed "the icon is removed"

# A stored token that is not ten digits (a path, a quote) is replaced by a new one before any
# file is named after it or any script written with it.
for stored in '..\..\x' '12345"6789'; do
  set_registry 'HKCU\Software\Velmox\Data' URLPrefix "$stored"
  rm -f "$app"/*.script "$app"/*.script2
  WINEDEBUG=-all,warn+debugstr wine "$app/Velmox.exe" 2>"$trace" &
  velmox=$!
  wait_started "$trace" "$poke"
  token=$(registry_value 'HKCU\Software\Velmox\Data' URLPrefix)
  [[ "$token" =~ ^[0-9]{10}$ ]] || check_failed "$stored replaced by ten digits (is '$token')"
  expect_bytes "$app/blocksite.script" "$(script_for b)"
  expect_file "$app/b$token.html"
  close_by_menu "$trace" "$poke" "$velmox"
done
expect_no_file "$work/startup/x.html"
expect_no_file "$app/x.html"
finish
