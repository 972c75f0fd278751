# The Settings dialog under the keyboard and the mouse, as xdotool types and clicks on Wine's
# windows: each set of option buttons is a group of its own, so neither Tab nor the arrow keys
# change an option the user did not choose; the website list keeps its focused row, so the
# arrow keys, Page Down, Shift and Ctrl selection work on a list of thirty sites.
source "$root/tests/win32/wine/lib.bash"

dir="$work/settings-keys"
app="$dir/app"
rm -rf "$dir" && mkdir -p "$dir" && cp -r "$root/dist/Velmox" "$app"
poke="$build/tray_poke.exe"
probe="$build/dialog_probe.exe"
trace="$dir/trace.log"
wine reg delete 'HKCU\Software\Velmox' /f >/dev/null 2>&1 || true
for i in $(seq 10 39); do printf '"site%d.example.com",#TRUE#\r\n' "$i"; done >"$app/servers.lst"

WINEDEBUG=-all,warn+debugstr wine "$app/Velmox.exe" 2>"$trace" &
velmox=$!
wait_started "$trace" "$poke"
open_settings_by_menu "$trace" "$poke"
xdotool search --sync --name '^Velmox Settings$' windowfocus --sync
keys() {
  xdotool key --delay 100 "$@"
  sleep 0.5
}
# expect_checked ID... / expect_unchecked ID...: the buttons' state on the screen.
expect_checked() { for id; do wine "$probe" checked "$id" || check_failed "button $id checked"; done; }
expect_unchecked() { for id; do ! wine "$probe" checked "$id" || check_failed "button $id unchecked"; done; }
ignore_local=1201 target_top=1205 target_blank=1206 block=1209 allow=1210

# "Advanced Options": the stored defaults show "a new window" and "Do not allow".
poke "$poke" next-tab
sleep 0.5
expect_checked "$target_blank" "$block"
# The arrow keys from the check box stay on it; Tab walks the whole dialog twice over.
expect_focus() {
  local seen
  seen=$(wine "$probe" focused | tr -d '\r')
  [[ " $* " == *" $seen "* ]] || check_failed "the focus on one of $* (is $seen)"
}
wine "$probe" focus "$ignore_local"
keys Down Down Down Down Up Right
expect_focus "$ignore_local"
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab
expect_checked "$target_blank" "$block"
expect_unchecked "$ignore_local" "$target_top" "$allow"
# Inside a set the arrow keys choose, and never leave it.
wine "$probe" focus "$target_blank"
keys Up
expect_checked "$target_top" "$block"
keys Down Down Down
expect_focus "$target_top" "$target_blank"
expect_checked "$target_blank" "$block"
expect_unchecked "$target_top" "$allow" "$ignore_local"

# "Websites": thirty rows, sorted by name, so row N is site(10+N).
poke "$poke" next-tab
poke "$poke" next-tab
sleep 0.5
list() { wine "$probe" list | tr -d '\r'; }
expect_list() {
  local seen
  seen=$(list)
  [[ "$seen" =~ ^$1 ]] || check_failed "list '$1' (is '$seen')"
}
click_row() {  # click_row ROW [MODIFIER]
  local point
  point=$(wine "$probe" list-row "$1" | tr -d '\r')
  [ -n "${2:-}" ] && xdotool keydown "$2"
  xdotool mousemove $point click 1
  [ -n "${2:-}" ] && xdotool keyup "$2"
  sleep 0.5
}
click_row 3
expect_list 'focused=3 selected=3 '
keys Down
expect_list 'focused=4 selected=4 '
keys Next
paged=$(list | sed -n 's/^focused=\([0-9]*\) .*/\1/p')
[ "${paged:-0}" -gt 5 ] || check_failed "Page Down moves well past row 4 (is '$(list)')"
expect_list "focused=$paged selected=$paged "
keys Home
expect_list 'focused=0 selected=0 top=0'
click_row 2
click_row 5 shift
expect_list 'focused=5 selected=2,3,4,5 '
keys shift+Down
expect_list 'focused=6 selected=2,3,4,5,6 '
click_row 4 ctrl
expect_list 'focused=4 selected=2,3,5,6 '

# The model has the same selection: Delete and OK remove exactly those four sites.
keys Delete
poke "$poke" click 1001
wait_trace "$trace" "^Settings dialog closed$"
for i in 12 13 15 16; do
  if grep -q "site$i\." "$app/servers.lst"; then check_failed "site$i deleted"; fi
done
[ "$(grep -c 'example.com' "$app/servers.lst")" -eq 26 ] || check_failed "26 sites kept"
options='HKCU\Software\Velmox\Options'
expect_registry "$options" LinkTarget _blank
expect_registry "$options" BlockByDefault True
expect_registry "$options" IgnoreLocal False

close_by_menu "$trace" "$poke" "$velmox"
finish
