# The setup program installs Velmox for the user with its context-menu entries and shortcut;
# the uninstaller takes all of that away and keeps the user's site list and settings.
source "$root/tests/win32/wine/lib.bash"

folder_win="$(windows_env LOCALAPPDATA)\\Programs\\Velmox"
folder=$(unix_path "$folder_win")
menuext='HKCU\Software\Microsoft\Internet Explorer\MenuExt'

wine "$root/dist/VelmoxSetup.exe" /S
expect_file "$folder/Velmox.exe"
expect_file "$folder/Uninstall.exe"
expect_file "$(unix_path "$(windows_env APPDATA)")/Microsoft/Windows/Start Menu/Programs/Velmox.lnk"
expect_registry "$menuext\\Disallow pop-ups for this site" "" "$folder_win\\blocksite.script"
expect_registry "$menuext\\Allow pop-ups for this site" "" "$folder_win\\trustsite.script"

# What a run of Velmox leaves behind: its generated files, the user's list and settings.
printf 'example.com\r\n' >"$folder/servers.lst"
for name in blocksite.script trustsite.script2 b0123456789.html t0123456789.html; do
  echo x >"$folder/$name"
done
set_registry 'HKCU\Software\Velmox\Data' URLPrefix 0123456789

# _?= runs the uninstaller in place and waits for it.
wine "$folder/Uninstall.exe" /S "_?=$folder_win"
for name in Velmox.exe blocksite.script trustsite.script2 b0123456789.html t0123456789.html; do
  expect_no_file "$folder/$name"
done
expect_no_registry "$menuext\\Disallow pop-ups for this site"
expect_no_registry "$menuext\\Allow pop-ups for this site"
expect_no_registry 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmox'
expect_file "$folder/servers.lst"
expect_registry 'HKCU\Software\Velmox\Data' URLPrefix 0123456789

# A stored token that is no token names no page: a path in it cannot make the uninstaller delete
# a file outside the folder.
wine "$root/dist/VelmoxSetup.exe" /S
echo x >"$folder/../victim.html"
set_registry 'HKCU\Software\Velmox\Data' URLPrefix '\..\..\victim'
wine "$folder/Uninstall.exe" /S "_?=$folder_win"
expect_no_file "$folder/Velmox.exe"
expect_file "$folder/../victim.html"
rm -f "$folder/../victim.html"
finish
