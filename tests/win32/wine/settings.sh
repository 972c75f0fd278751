# The Settings dialog on Wine: it opens from the tray menu, each of its five pages is kept as a
# screenshot under build/windows/screenshots, and OK writes the options to the registry.
source "$root/tests/win32/wine/lib.bash"

app="$work/settings/app"
shots="$build/screenshots"
rm -rf "$work/settings" "$shots" && mkdir -p "$work/settings" "$shots"
cp -r "$root/dist/Velmox" "$app"
app_win=$(windows_path "$app")
poke="$build/tray_poke.exe"
trace="$work/settings/trace.log"
wine reg delete 'HKCU\Software\Velmox' /f >/dev/null 2>&1 || true
printf '"ads.example.com",#TRUE#\r\n"news.example.org",#FALSE#\r\n"popups.example.net",#TRUE#\r\n' \
  >"$app/servers.lst"
# Without a window manager, Wine draws the title bar itself when told to.
for value in Decorated Managed; do
  set_registry 'HKCU\Software\Wine\X11 Driver' "$value" N
done

WINEDEBUG=-all,warn+debugstr wine "$app/Velmox.exe" 2>"$trace" &
velmox=$!
wait_started "$trace" "$poke"

open_settings_by_menu "$trace" "$poke"

shoot() {
  sleep 1
  import -window root "$shots/screen.png"
  # The dialog alone, with the title bar Wine draws for it.
  convert "$shots/screen.png" -crop "$(wine "$poke" rect | tr -d '\r')" +repage "$shots/$1.png"
  rm -f "$shots/screen.png"
}
# Page 1: "Close Velmox ..." ticked and the bulb's "Light up" cleared; Apply is then enabled.
poke "$poke" click 1102 && poke "$poke" click 1105
shoot 1-options
poke "$poke" next-tab
poke "$poke" click 1205  # "Open it in the current window"
shoot 2-advanced-options
for name in 3-internet-explorer 4-websites 5-about; do
  poke "$poke" next-tab
  shoot "$name"
done
for shot in "$shots"/*.png; do expect_file "$shot"; done
# Wine draws the title bar's buttons with its own Marlett font; without it they read "0 1 r".
wine "$build/dialog_probe.exe" font Marlett || check_failed "the Marlett font (fonts-wine)"
[ "$(md5sum "$shots"/*.png | cut -d' ' -f1 | sort -u | wc -l)" -eq 5 ] ||
  check_failed "five different pages in the screenshots"

poke "$poke" click 1001  # OK
wait_trace "$trace" "^Settings dialog closed$"
options='HKCU\Software\Velmox\Options'
expect_registry "$options" AutoClose True
expect_registry "$options" BlinkLightBulb False
expect_registry "$options" LinkTarget _top
expect_registry "$options" AutoLoad False
for key in AddressBar FullScreen MenuBar StatusBar TheaterMode ToolBar IgnoreLocal PlayASound; do
  expect_registry "$options" "$key" False
done
expect_registry "$options" BlockByDefault True
expect_registry "$options" SoundFileName "$app_win\\sounds\\cork.wav"

close_by_menu "$trace" "$poke" "$velmox"
finish
