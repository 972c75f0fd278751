# Checks shared by the Wine tests. Each records a failure and goes on; `finish` reports.
failed=0
check_failed() {
  echo "  not as expected: $*" >&2
  failed=1
}
expect_file() { [ -s "$1" ] || check_failed "file $1 exists"; }
expect_no_file() { [ ! -e "$1" ] || check_failed "file $1 is gone"; }
# expect_registry KEY VALUE_NAME EXPECTED (an empty VALUE_NAME is the key's default value)
registry_value() {
  local args=(/v "$2")
  [ -n "$2" ] || args=(/ve)
  wine reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *\([^ ].*[^ ]\|(Default)\) \{4\}REG_[A-Z_]* \{4\}\(.*\)$/\2/p' | head -1
}
expect_registry() {
  local actual
  actual=$(registry_value "$1" "$2")
  [ "$actual" = "$3" ] || check_failed "$1 [$2] = '$3' (is '$actual')"
}
expect_no_registry() {
  if wine reg query "$1" >/dev/null 2>&1; then check_failed "key $1 is gone"; fi
}
finish() {
  [ "$failed" -eq 0 ] && echo "  passed"
  return "$failed"
}
