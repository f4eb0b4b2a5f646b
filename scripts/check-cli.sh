#!/usr/bin/env bash
# Checks zrtranslate's command-line contract: exit statuses, one-line file
# errors, standard input, -o replacing a file whole.
set -uo pipefail
zrtranslate=$1
cases=$2  # the golden folder
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # what, expected, actual
  if [[ "$2" != "$3" ]]; then
    echo "FAILED: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
hi=$cases/hi_run

out=$("$zrtranslate" "$hi/schema" "$hi/source" 2>/dev/null); expect "result" "Hi" "$out"
out=$(printf 'hello' | "$zrtranslate" "$hi/schema" - 2>/dev/null); expect "source from stdin" "Hi" "$out"
out=$("$zrtranslate" - "$hi/source" <"$hi/schema" 2>/dev/null); expect "schema from stdin" "Hi" "$out"

"$zrtranslate" "$work/missing.txt" "$hi/source" >/dev/null 2>"$work/err"; status=$?
expect "unreadable file status" 2 "$status"
expect "unreadable file message" "zrtranslate: cannot read $work/missing.txt: No such file or directory" "$(cat "$work/err")"

"$zrtranslate" "$hi/schema" >/dev/null 2>&1; expect "usage status" 2 "$?"
"$zrtranslate" - - >/dev/null 2>&1 </dev/null; expect "two stdin status" 2 "$?"

printf 'old' >"$work/result.txt"
"$zrtranslate" -o "$work/result.txt" "$hi/schema" "$hi/source" 2>/dev/null; expect "-o status" 0 "$?"
expect "-o content" "Hi" "$(cat "$work/result.txt")"
"$zrtranslate" -o "$work/no/such/dir.txt" "$hi/schema" "$hi/source" >/dev/null 2>"$work/err"
expect "-o unwritable status" 2 "$?"
grep -q "cannot write $work/no/such/dir.txt" "$work/err" || { echo "FAILED: -o message"; failures=$((failures + 1)); }

"$zrtranslate" "$cases/not_understood/schema" "$cases/not_understood/source" >"$work/out" 2>/dev/null
expect "failed translation status" 1 "$?"
expect "failed translation prints no result" "" "$(cat "$work/out")"

[[ $failures -eq 0 ]] && echo "cli ok"
exit $((failures > 0))
