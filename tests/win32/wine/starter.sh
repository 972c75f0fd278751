# The starter behind "Run Velmox whenever Internet Explorer runs", installed by the setup program:
# its logon entry, Velmox started when a browser window appears while AutoLoad is "True" and not
# while it is "False", and the uninstaller stopping it and taking the entry away. The stand-in
# browser lives inside the starter's process (standin_drive --to VelmoxStarter.exe); the Velmox
# it starts has a stand-in of its own, with no window open.
source "$root/tests/win32/wine/lib.bash"

folder_win="$(windows_env LOCALAPPDATA)\\Programs\\Velmox"
folder=$(unix_path "$folder_win")
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
poke="$build/tray_poke.exe"
dir="$work/starter"
rm -rf "$dir" && mkdir -p "$dir"
wine reg delete 'HKCU\Software\Velmox' /f >/dev/null 2>&1 || true

# The starter's trace and the trace of the Velmox it starts share a file: Wine hands a started
# program the starter's own error output.
starter_lines() {
  sed -n 's/^.*OutputDebugStringA "Starter: \(.*\)\\n"$/\1/p' "$trace" | sed 's/\\\\/\\/g; s/\\"/"/g'
}
wait_starter_line() {
  for _ in $(seq 100); do
    if starter_lines | grep -Eq -- "$1"; then return 0; fi
    sleep 0.1
  done
  check_failed "a starter line /$1/"
}
count_starter_lines() { starter_lines | grep -Ec -- "$1" || true; }
drive() { wine "$build/standin_drive.exe" --to VelmoxStarter.exe "$@" || check_failed "the stand-in took: $*"; }
velmox_runs() { wine "$poke" window Velmox.Tray >/dev/null 2>&1; }
autoload() { set_registry 'HKCU\Software\Velmox\Options' AutoLoad "$1"; }
# While nothing happens the starter sleeps: its process is not woken at all for three seconds
# (no timer, no polling).
expect_asleep() {
  local process before
  process=$(pgrep -f 'VelmoxStarter\.exe' | head -1)
  wakeups() { cat /proc/"$process"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
  sleep 1
  before=$(wakeups)
  sleep 3
  [ "$(wakeups)" = "$before" ] || check_failed "the idle starter was not woken ($before, then $(wakeups))"
}

# The setup program writes the logon entry and starts the starter at once.
trace="$dir/setup.log"
WINEDEBUG=-all,warn+debugstr wine "$root/dist/VelmoxSetup.exe" /S 2>"$trace"
expect_file "$folder/VelmoxStarter.exe"
expect_registry "$run_key" "Velmox Starter" "\"$folder_win\\VelmoxStarter.exe\""
wait_starter_line '^waiting for browser windows \(0 open\)$'

# Logged off and on again: every program ends, and the entry's command line starts the starter
# from the system folder, as the shell does at logon.
wineserver -k && wineserver -w
command=$(registry_value "$run_key" "Velmox Starter")
starter=$(unix_path "$(sed 's/^"\(.*\)"$/\1/' <<<"$command")")
system=$(unix_path 'C:\windows\system32')
trace="$dir/logon.log"
: >"$trace"
(cd "$system" && WINEDEBUG=-all,warn+debugstr wine "$starter" 2>"$trace") &
starter_pid=$!
wait_starter_line '^waiting for browser windows \(0 open\)$'

# A second starter ends at once.
if ! WINEDEBUG=-all timeout 30 wine "$starter"; then check_failed "a second starter ends"; fi

# Box cleared: a browser window starts nothing.
autoload False
drive "open b1 http://one.example.com/"
wait_starter_line '^a browser window appeared, AutoLoad is "False": Velmox not started$'
sleep 1
velmox_runs && check_failed "no Velmox while AutoLoad is False"

expect_asleep

# Box ticked: an Explorer window starts nothing, the next browser window starts Velmox.exe.
autoload True
drive "open x1 file:///C:/ name=Windows_Explorer"
wait_starter_line '^a window registered, no new browser window$'
velmox_runs && check_failed "no Velmox for an Explorer window"
drive "open b2 http://two.example.com/"
wait_starter_line '^a browser window appeared, AutoLoad is "True": starting Velmox$'
wait_started "$trace" "$poke"
velmox_runs || check_failed "Velmox runs after a browser window with AutoLoad True"

# Closed by the user, Velmox is started again by the next browser window.
poke "$poke" tray 516 517
wait_trace "$trace" "^TrackPopupMenu 4 items$"
poke "$poke" menu c
wait_trace "$trace" "^Ended$"
for _ in $(seq 50); do velmox_runs || break; sleep 0.1; done
drive "open b3 http://three.example.com/"
for _ in $(seq 100); do velmox_runs && break; sleep 0.1; done
velmox_runs || check_failed "Velmox runs again after the next browser window"
[ "$(count_starter_lines ': starting Velmox$')" -eq 2 ] || check_failed "two starts of Velmox"
poke "$poke" tray 516 517
poke "$poke" menu c
for _ in $(seq 50); do velmox_runs || break; sleep 0.1; done

# The collection fails: the starter lets go of it and takes it again after five seconds, then
# sleeps again (the retry's timer is gone).
drive "arm collection _NewEnum fail" "open b4 http://four.example.com/"
wait_starter_line '^the shell.s window collection failed .*, trying again in 5 s$'
wait_starter_line '^waiting for browser windows \(4 open\)$'
expect_asleep

# The uninstaller stops the starter and takes its file and logon entry away.
wine "$folder/Uninstall.exe" /S "_?=$folder_win"
wait_starter_line '^ends$'
for _ in $(seq 50); do kill -0 "$starter_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$starter_pid" 2>/dev/null; then check_failed "the starter has ended"; fi
expect_no_file "$folder/VelmoxStarter.exe"
[ -z "$(registry_value "$run_key" "Velmox Starter")" ] || check_failed "the logon entry is gone"
finish
