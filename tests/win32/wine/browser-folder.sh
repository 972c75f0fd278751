# Velmox installed in a folder whose name has letters outside the system's code page (the
# per-user install sits under the profile folder, named after the user): it starts, writes its
# scripts and command pages there, the browser can follow the address in a script, both context
# menu entries work whether the browser reports that address as written or with the folders'
# long names, servers.lst is written, and Close renames the scripts back.
source "$root/tests/win32/wine/browser.bash"

browser_scenario browser-folder
foreign="$dir/Łukasz 名前"
mkdir -p "$foreign"
mv "$app" "$foreign/Velmox"
app="$foreign/Velmox"
printf '%s\n' "open a http://a.example.com/" "open b http://b.example.com/" >"$dir/start.txt"
start_velmox "$dir/trace.log" "$dir/start.txt"

token=$(registry_value 'HKCU\Software\Velmox\Data' URLPrefix)
expect_file "$app/blocksite.script"
expect_file "$app/trustsite.script"
expect_file "$app/b$token.html"
expect_file "$app/t$token.html"
if has_line '^Velmox: Main in .*\?'; then check_failed "the folder is named without '?'"; fi

mark menu
drive "context-menu a blocksite.script" "context-menu b trustsite.script long"
mark menu-done
expect_since menu 2 '^StandIn: script [ab] leads to a file$'
expect_since menu 1 "^StandIn: before-navigate a .*\\\\b$token.html cancelled\$"
expect_since menu 1 "^StandIn: before-navigate b .*\\\\t$token.html cancelled\$"
expect_since menu 0 '^StandIn: loaded [ab] '
printf '"a.example.com",#TRUE#\r\n"b.example.com",#FALSE#\r\n' >"$dir/servers.expected"
cmp -s "$app/servers.lst" "$dir/servers.expected" || check_failed "servers.lst holds both sites"
no_stand_in_errors

close_by_menu "$trace" "$poke" "$velmox"
expect_no_file "$app/blocksite.script"
expect_file "$app/blocksite.script2"
expect_file "$app/trustsite.script2"
finish
