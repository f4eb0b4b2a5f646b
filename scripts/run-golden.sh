#!/usr/bin/env bash
# Runs one golden case through zrtranslate and compares byte for byte.
# A case folder holds: schema, source, and either result (the expected
# standard output of `zrtranslate --raw`; console, when present, the expected
# standard error) or error (the expected standard error of a failed run, exit
# status 1). An optional file args holds extra options on one line. Standard
# error names the case's files without their folder.
set -uo pipefail
zrtranslate=$1
case_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

extra=()
[[ -f "$case_dir/args" ]] && read -r -a extra <"$case_dir/args"
"$zrtranslate" --raw "${extra[@]}" "$case_dir/schema" "$case_dir/source" \
  >"$work/stdout" 2>"$work/stderr" </dev/null
status=$?
sed -i "s|$case_dir/||g" "$work/stderr"  # diagnostic lines name the case's files

same() {  # expected actual what
  if ! cmp -s "$1" "$2"; then
    echo "$3 differs from $1:"
    diff <(cat -A "$1") <(cat -A "$2") | head -40
    return 1
  fi
}

if [[ -f "$case_dir/error" ]]; then
  expected=1
  [[ -f "$case_dir/status" ]] && read -r expected <"$case_dir/status"
  [[ $status -eq $expected ]] || { echo "expected exit status $expected, got $status"; cat "$work/stderr"; exit 1; }
  same "$case_dir/error" "$work/stderr" "standard error" || exit 1
else
  [[ $status -eq 0 ]] || { echo "expected exit status 0, got $status"; cat "$work/stderr"; exit 1; }
  same "$case_dir/result" "$work/stdout" "standard output" || exit 1
  if [[ -f "$case_dir/console" ]]; then same "$case_dir/console" "$work/stderr" "standard error" || exit 1; fi
fi
echo "ok"
