#!/usr/bin/env bash
# Checks zrtranslate's command-line contract: exit statuses, one-line file
# errors, standard input, -o replacing a file whole, what standard error
# carries, bad input files, full devices and read-only folders, signals, run
# limits, runs that wait with no terminal, and batch translation.
set -uo pipefail
zrtranslate=$(realpath "$1")
cases=$2  # the golden folder
examples=$cases/../example
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
expect() {  # what, expected, actual
  if [[ "$2" != "$3" ]]; then
    echo "FAILED: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
expect_in() {  # what, pattern, file: the file has a line that matches
  grep -q "$2" "$3" || { echo "FAILED: $1"; failures=$((failures + 1)); }
}
hi=$(realpath "$cases/hi_run")

out=$("$zrtranslate" "$hi/schema" "$hi/source" 2>/dev/null); expect "result" "Hi" "$out"
out=$(printf 'hello' | "$zrtranslate" "$hi/schema" - 2>/dev/null); expect "source from stdin" "Hi" "$out"
out=$("$zrtranslate" - "$hi/source" <"$hi/schema" 2>/dev/null); expect "schema from stdin" "Hi" "$out"

# Standard error: quiet by default, the whole console with -v.
"$zrtranslate" "$hi/schema" "$hi/source" 2>&1 >/dev/null </dev/null | cmp -s - /dev/null
expect "quiet by default" 0 "$?"
"$zrtranslate" -v "$hi/schema" "$hi/source" 2>&1 >/dev/null </dev/null | cmp -s - "$hi/console"
expect "-v shows the console" 0 "$?"

out=$("$zrtranslate" --version); expect "version" 0 "$([[ $out =~ ^zrtranslate\ [0-9]+\.[0-9]+ ]]; echo $?)"
out=$("$zrtranslate" --help)
expect "help names the guide and what --raw keeps" 0 \
  "$([[ $out == *docs/guide.md* && $out == *"--raw "*"header lines"* ]]; echo $?)"
cp "$hi/source" "$work/-v"
out=$(cd "$work" && "$zrtranslate" -- "$hi/schema" -v 2>/dev/null); expect "-- ends the options" "Hi" "$out"

"$zrtranslate" "$work/missing.txt" "$hi/source" >/dev/null 2>"$work/err"; status=$?
expect "unreadable file status" 2 "$status"
expect "unreadable file message" "zrtranslate: cannot read $work/missing.txt: No such file or directory" "$(cat "$work/err")"

# Files that are not text are refused before any translation: one line, status 2.
printf 'hello\0' >"$work/nul.txt"
bad_file() {  # file, reason
  "$zrtranslate" "$hi/schema" "$1" >"$work/out" 2>"$work/err" </dev/null
  expect "$1 status" 2 "$?"
  expect "$1 message" "zrtranslate: cannot read $1: $2" "$(cat "$work/err")"
  expect "$1 prints no result" "" "$(cat "$work/out")"
}
bad_file "$work" "Is a directory"
bad_file /dev/zero "is a device, not a file"
bad_file /proc/self/mem "Input/output error"
bad_file "$work/nul.txt" "holds NUL bytes, not a text file"
if [[ $(id -u) -ne 0 ]]; then
  printf 'hello' >"$work/secret.txt" && chmod 000 "$work/secret.txt"
  bad_file "$work/secret.txt" "Permission denied"
fi

"$zrtranslate" "$hi/schema" >/dev/null 2>&1; expect "usage status" 2 "$?"
"$zrtranslate" - - >/dev/null 2>&1 </dev/null; expect "two stdin status" 2 "$?"

printf 'old' >"$work/result.txt"
"$zrtranslate" -o "$work/result.txt" "$hi/schema" "$hi/source" 2>/dev/null; expect "-o status" 0 "$?"
expect "-o content" "Hi" "$(cat "$work/result.txt")"
"$zrtranslate" -o "$work/no/such/dir.txt" "$hi/schema" "$hi/source" >/dev/null 2>"$work/err"
expect "-o unwritable status" 2 "$?"
expect_in "-o message" "cannot write $work/no/such/dir.txt" "$work/err"

# A full device: an error and status 2, and the device stays a device.
"$zrtranslate" -o /dev/full "$hi/schema" "$hi/source" 2>"$work/err"
expect "-o /dev/full status" 2 "$?"
expect "-o /dev/full message" "zrtranslate: cannot write /dev/full: No space left on device" "$(cat "$work/err")"
expect "/dev/full kept" 0 "$([[ -c /dev/full ]]; echo $?)"
"$zrtranslate" "$hi/schema" "$hi/source" >/dev/full 2>"$work/err"
expect "full standard output status" 2 "$?"
expect "full standard output message" "zrtranslate: cannot write standard output: No space left on device" "$(cat "$work/err")"

# A folder where no file can be created: the old result stays as it was.
if [[ $(id -u) -ne 0 ]]; then
  mkdir "$work/ro" && printf 'old' >"$work/ro/result.txt" && chmod 555 "$work/ro"
  "$zrtranslate" -o "$work/ro/result.txt" "$hi/schema" "$hi/source" 2>/dev/null
  expect "read-only folder status" 2 "$?"
  expect "read-only folder keeps the file" "old" "$(cat "$work/ro/result.txt")"
  expect "read-only folder holds no new file" "result.txt" "$(ls "$work/ro")"
else  # root writes anywhere but in /proc
  "$zrtranslate" -o /proc/self/comm "$hi/schema" "$hi/source" 2>/dev/null
  expect "read-only folder status" 2 "$?"
fi

"$zrtranslate" "$cases/not_understood/schema" "$cases/not_understood/source" >"$work/out" 2>/dev/null
expect "failed translation status" 1 "$?"
expect "failed translation prints no result" "" "$(cat "$work/out")"

# A run that never ends: stopped by its limits and by signals.
printf '\\\\schema main\n-r\n  _go `` 0 +.loop\n  .loop `` 0 +.loop\n\\\\end schema\n\\\\end file\n' >"$work/loop"
printf 'go' >"$work/go"
"$zrtranslate" --timeout 0.3 "$work/loop" "$work/go" >/dev/null 2>"$work/err"
expect "timeout status" 1 "$?"
expect "timeout lines" "2048 * run stopped: time limit of 0.3 seconds reached|$work/go:1:1: error: run stopped: time limit of 0.3 seconds reached" \
  "$(grep -a -e '^2048' -e 'error:' "$work/err" | tr -d '\r' | paste -sd '|')"
"$zrtranslate" --max-memory 1 "$work/loop" "$work/go" >/dev/null 2>"$work/err"
expect "memory limit status" 1 "$?"
expect_in "memory limit" "memory limit of 1 MB reached" "$work/err"
for signal in INT TERM; do
  printf 'old' >"$work/kept.txt"
  "$zrtranslate" --timeout 20 -o "$work/kept.txt" "$work/loop" "$work/go" 2>"$work/err" &
  # Waits until the run has its handlers (SIGINT's bit in SigCgt), however slow the machine.
  for _ in $(seq 200); do
    caught=$(awk '/^SigCgt/ { print $2 }' /proc/$!/status 2>/dev/null)
    (( 16#${caught:-0} & 2 )) && break
    sleep 0.05
  done
  sleep 0.2
  kill -s "$signal" $!
  wait $!
  expect "SIG$signal status" 1 "$?"
  expect_in "SIG$signal message" "user ordered to terminate" "$work/err"
  expect "SIG$signal keeps the old file" "old" "$(cat "$work/kept.txt")"
done
expect "signals leave no temporary file" "" "$(ls "$work" | grep 'kept.txt.' )"

# At a terminal, q and Enter stop a run that goes freely: the terminal is read
# less often while the run goes, but it is read.
if command -v script >/dev/null; then
  printf 'q\n' | script -qec "'$zrtranslate' --timeout 20 '$work/loop' '$work/go'" /dev/null \
    >"$work/tty" 2>&1
  expect "q at the terminal status" 1 "$?"
  expect_in "q at the terminal" "user ordered to terminate" "$work/tty"
fi

# A run that waits for a resume or a step grant goes on at once without a terminal.
printf '\\\\schema main\n-r\n  _hello ..suspend 0\n  .eot `` 1 -e\n\\\\end schema\n\\\\end file\n' >"$work/suspend"
out=$("$zrtranslate" --timeout 10 "$work/suspend" "$hi/source" 2>"$work/err" </dev/null)
expect "suspension status" 0 "$?"
expect "suspension note" "zrtranslate: no terminal to wait on: the run goes on" "$(cat "$work/err")"
{ printf '\\\\steps in dialog=t\n'; cat "$hi/schema"; } >"$work/steps"
out=$("$zrtranslate" --timeout 10 "$work/steps" "$hi/source" 2>/dev/null </dev/null)
expect "step mode without a terminal" "Hi" "$out"

# A batch on several threads gives each source the result it gives alone.
mkdir "$work/batch" "$work/alone"
for round in 1 2 3; do
  for source in "$examples"/*.inc; do cp "$source" "$work/batch/$round-$(basename "$source")"; done
done
"$zrtranslate" --jobs 4 --out-dir "$work/alone" "$examples/../../example/vbs_c/s.txt" \
  "$work/batch"/*.inc 2>"$work/batch-err" </dev/null
expect "batch status: the worst" 1 "$?"
failed=0
for source in "$work/batch"/*.inc; do
  name=$(basename "$source")
  if "$zrtranslate" -o "$work/single.out" "$examples/../../example/vbs_c/s.txt" "$source" 2>/dev/null </dev/null; then
    cmp -s "$work/single.out" "$work/alone/$name.out" || { echo "FAILED: batch result of $name"; failures=$((failures + 1)); }
  else
    failed=$((failed + 1))
    [[ -e "$work/alone/$name.out" ]] && { echo "FAILED: batch wrote $name.out"; failures=$((failures + 1)); }
    expect_in "batch error line of $name" "^$source:[0-9]*:[0-9]*: error: " "$work/batch-err"
  fi
done
expect "batch has failing sources" 1 "$((failed > 0))"
"$zrtranslate" --out-dir "$work/alone" "$hi/schema" "$hi/source" "$work" >/dev/null 2>&1
expect "batch with an unreadable source" 2 "$?"
expect "batch goes on after a bad source" "Hi" "$(cat "$work/alone/source.out")"

[[ $failures -eq 0 ]] && echo "cli ok"
exit $((failures > 0))
