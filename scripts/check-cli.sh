#!/usr/bin/env bash
# Checks zrtranslate's command-line contract: exit statuses, one-line file
# errors, standard input, -o replacing a file whole, outputs that never replace
# inputs, what standard error carries, bad input files, full devices and
# read-only folders, signals, run limits, runs that wait with no terminal, and
# batch translation.
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
# Waits until process $1 has its signal handlers (SIGINT's bit in SigCgt),
# however slow the machine, and a little more.
wait_for_handlers() {
  for _ in $(seq 200); do
    caught=$(awk '/^SigCgt/ { print $2 }' "/proc/$1/status" 2>/dev/null)
    (( 16#${caught:-0} & 2 )) && break
    sleep 0.05
  done
  sleep 0.2
}

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
expect "timeout status" 3 "$?"
expect "timeout lines" "2048 * run stopped: time limit of 0.3 seconds reached|$work/go:1:1: error: run stopped: time limit of 0.3 seconds reached" \
  "$(grep -a -e '^2048' -e 'error:' "$work/err" | tr -d '\r' | paste -sd '|')"
# A text that doubles at every step is stopped before it grows far past the
# bound: the check comes before the memory is asked for.
printf '\\\\schema main\n-r\n  _go ..=x,1234567890 0 +.grow\n  .grow ..&x,x 0 +.grow\n\\\\end schema\n\\\\end file\n' >"$work/grow"
peak=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=open(sys.argv[-1] + ".err", "w"))
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' \
  "$zrtranslate" --max-memory 100 "$work/grow" "$work/go")
expect_in "memory limit" "memory limit of 100 MB reached" "$work/go.err"
expect "memory limit peak below 400 MB ($peak MB)" 1 "$((peak < 400))"
"$zrtranslate" --max-memory 100 "$work/grow" "$work/go" >/dev/null 2>&1
expect "memory limit status" 3 "$?"
for signal in INT TERM; do
  printf 'old' >"$work/kept.txt"
  "$zrtranslate" --timeout 20 -o "$work/kept.txt" "$work/loop" "$work/go" 2>"$work/err" &
  wait_for_handlers $!
  kill -s "$signal" $!
  wait $!
  status=$?
  expect "SIG$signal status" "$((128 + $(kill -l "$signal")))" "$status"
  expect_in "SIG$signal message" "user ordered to terminate" "$work/err"
  expect "SIG$signal keeps the old file" "old" "$(cat "$work/kept.txt")"
done
expect "signals leave no temporary file" "" "$(ls "$work" | grep 'kept.txt.' )"

# Standard input that never comes: a signal ends the read at once, nothing written.
printf 'old' >"$work/kept.txt"
sleep 30 | "$zrtranslate" -o "$work/kept.txt" "$hi/schema" - 2>"$work/err" &
reader=$!
wait_for_handlers $reader
kill -TERM $reader
wait $reader
expect "SIGTERM while reading standard input" 143 "$?"
expect "a stopped read writes nothing" "old" "$(cat "$work/kept.txt")"

# A suspended run waits for the terminal: q and Enter stop it. A run that goes
# freely never reads the terminal, so one in the background is never stopped
# for reading it (SIGTTIN).
printf '\\\\schema main\n-r\n  _hello ..suspend 0\n  .eot `` 1 -e\n\\\\end schema\n\\\\end file\n' >"$work/suspend"
if command -v script >/dev/null; then
  { sleep 1; printf 'q\n'; } | script -qec "'$zrtranslate' --timeout 20 '$work/suspend' '$hi/source'" \
    /dev/null >"$work/tty" 2>&1
  expect "q at the terminal status" 1 "$?"
  expect_in "q at the terminal" "user ordered to terminate" "$work/tty"
  timeout 60 script -qec "bash --norc -ic \"'$zrtranslate' --timeout 1 '$work/loop' '$work/go' & wait \\\$!; echo background status \\\$?\"" \
    /dev/null </dev/null >"$work/tty" 2>&1
  expect_in "a run in the background is not stopped by the terminal" "background status 3" "$work/tty"
fi

# A run that waits for a resume or a step grant goes on at once without a terminal.
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

# A failed source loses the result of an earlier run: no stale file to mistake.
printf 'stale' >"$work/alone/missing.out"
"$zrtranslate" --out-dir "$work/alone" "$hi/schema" "$hi/source" "$work/missing" >/dev/null 2>&1
expect "a failed source keeps no stale result" "no" "$([[ -e "$work/alone/missing.out" ]] && echo yes || echo no)"

# Outputs never replace inputs, whatever name leads to them; nothing is written.
cp "$hi/schema" "$work/s.txt" && cp "$hi/source" "$work/q"
ln -s s.txt "$work/link-to-schema"
clash() {  # what, message, arguments...
  local what=$1 message=$2
  shift 2
  "$zrtranslate" "$@" >"$work/out" 2>"$work/err" </dev/null
  expect "$what status" 2 "$?"
  expect "$what message" "zrtranslate: $message" "$(head -1 "$work/err")"
  expect "$what keeps the schema" "$(cat "$hi/schema")" "$(cat "$work/s.txt")"
}
clash "-o the schema" "output $work/s.txt would replace input $work/s.txt" \
  -o "$work/s.txt" "$work/s.txt" "$work/q"
clash "-o a link to the schema" "output $work/link-to-schema would replace input $work/s.txt" \
  --output "$work/link-to-schema" "$work/s.txt" "$work/q"
mkdir -p "$work/od" && cp "$hi/source" "$work/od/q.out"
clash "--out-dir over a later source" "output $work/od/q.out would replace input $work/od/q.out" \
  --out-dir "$work/od" "$work/s.txt" "$work/q" "$work/od/q.out"
expect "--out-dir wrote nothing" "q.out" "$(ls "$work/od")"
printf 'hello' | "$zrtranslate" - /dev/stdin >/dev/null 2>"$work/err"
expect "standard input named twice" "2 zrtranslate: standard input is named twice; it can be read only once" \
  "$? $(head -1 "$work/err")"

# -o writes through a link, keeps an old file's mode, gives a new one the
# umask's, and takes a name as long as a name may be.
printf 'old' >"$work/target.txt" && chmod 600 "$work/target.txt" && ln -s target.txt "$work/result-link"
"$zrtranslate" -o "$work/result-link" "$hi/schema" "$hi/source" 2>/dev/null
expect "-o through a link" "link Hi 600" \
  "$([[ -L "$work/result-link" ]] && echo link) $(cat "$work/target.txt") $(stat -c %a "$work/target.txt")"
(umask 027 && "$zrtranslate" -o "$work/new.txt" "$hi/schema" "$hi/source" 2>/dev/null)
expect "a new file's mode under umask 027" 640 "$(stat -c %a "$work/new.txt")"
long=$(printf 'n%.0s' $(seq 255))
"$zrtranslate" -o "$work/$long" "$hi/schema" "$hi/source" 2>"$work/err"
expect "a 255-character name" "0 Hi" "$? $(cat "$work/$long")"
# A file the user may not write is refused as cp refuses it; root may write it.
printf 'old' >"$work/ro.txt" && chmod 444 "$work/ro.txt"
run_as_user=()
[[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null &&
  run_as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
chmod 777 "$work" && chown 65534 "$work/ro.txt" 2>/dev/null
# Root runs the program as nobody, when nobody may run it where it was built.
if [[ $(id -u) -ne 0 ]] || { [[ ${#run_as_user[@]} -gt 0 ]] &&
  "${run_as_user[@]}" "$zrtranslate" --version >/dev/null 2>&1; }; then
  "${run_as_user[@]}" "$zrtranslate" -o "$work/ro.txt" "$work/s.txt" "$work/q" 2>"$work/err"
  expect "a read-only file" "2 old" "$? $(cat "$work/ro.txt")"
  expect "a read-only file's message" "zrtranslate: cannot write $work/ro.txt: Permission denied" "$(cat "$work/err")"
  chmod 700 "$work"
fi

# An empty result writes nothing; --eol=lf writes each CR LF as LF.
printf '\\\\schema main\n-r\n  _hello `` 1 -e\n\\\\end schema\n\\\\end file\n' >"$work/silent"
"$zrtranslate" "$work/silent" "$hi/source" >"$work/out" 2>/dev/null
expect "an empty result writes nothing" "0 0" "$? $(stat -c %s "$work/out")"
"$zrtranslate" --eol=lf "$examples/../../example/vbs_c/s.txt" "$examples/../../example/vbs_c/reallife.inc" >"$work/lf.c" 2>/dev/null
"$zrtranslate" "$examples/../../example/vbs_c/s.txt" "$examples/../../example/vbs_c/reallife.inc" | tr -d '\r' >"$work/crlf.c"
expect "--eol=lf" "0 0" "$(grep -c $'\r' "$work/lf.c") $(cmp -s "$work/lf.c" "$work/crlf.c"; echo $?)"

# Usage errors: one line, status 2.
usage() {  # what, message, arguments...
  local what=$1 message=$2
  shift 2
  "$zrtranslate" "$@" >/dev/null 2>"$work/err" </dev/null
  expect "$what" "2 zrtranslate: $message" "$? $(head -1 "$work/err")"
}
usage "an ambiguous option" "option --ma is ambiguous: it may be --max-steps, --max-memory" \
  --ma 1 "$hi/schema" "$hi/source"
usage "-o with no name" "-o needs a file name" -o '' "$hi/schema" "$hi/source"
"$zrtranslate" --help >/dev/full 2>/dev/null
expect "--help into a full device" 2 "$?"
"$zrtranslate" --version >/dev/full 2>/dev/null
expect "--version into a full device" 2 "$?"
newline_name="$work/a"$'\n'"b"
"$zrtranslate" "$hi/schema" "$newline_name" 2>"$work/err"
expect "a line break in a name is quoted" "zrtranslate: cannot read '$work/a\\nb': No such file or directory" "$(cat "$work/err")"

# A file larger than the memory bound is not read.
head -c 2000000 /dev/zero | tr '\0' 'a' >"$work/big"
"$zrtranslate" --max-memory 1 "$hi/schema" "$work/big" >/dev/null 2>"$work/err"
expect "a file above the bound" "2 zrtranslate: cannot read $work/big: larger than the memory limit of 1 MB" \
  "$? $(cat "$work/err")"
# Running out of memory while reading is that file's error, not a crash. (The
# address sanitizer reserves more address space than the bound allows.)
if [[ -z ${ASAN_OPTIONS:-} ]]; then
  (ulimit -v 200000 && head -c 300000000 /dev/zero | tr '\0' 'a' |
    "$zrtranslate" --max-memory 0 "$hi/schema" - >/dev/null 2>"$work/err")
  expect "out of memory while reading" "2 zrtranslate: cannot read <stdin>: not enough memory to read it" \
    "$? $(cat "$work/err")"
fi

# Each translation of a batch has its own memory bound: two sources of 25 MB
# go through under a 40 MB bound on two threads at once.
printf '\\\\schema main\n-r\n  .id `` 0\n  .eot `.` 1 -e\n\\\\end schema\n\\\\end file\n' >"$work/words"
yes 'word word word word word word word' | head -c 25000000 >"$work/m1"
cp "$work/m1" "$work/m2"
"$zrtranslate" -j 2 --max-memory 40 --out-dir "$work/mem/made/here" "$work/words" "$work/m1" "$work/m2" 2>"$work/err"
status=$?
expect "per-translation memory bound, --out-dir made" "0 ." "$status $(cat "$work/mem/made/here/m1.out")"

# SIGTERM in the middle of a batch names the sources not begun.
for n in 1 2 3 4; do cp "$work/go" "$work/src$n"; done
"$zrtranslate" --timeout 20 --out-dir "$work/stopped" "$work/loop" "$work/src"{1,2,3,4} 2>"$work/err" &
batch=$!
wait_for_handlers $batch
kill -TERM $batch
wait $batch
expect "SIGTERM in a batch" 143 "$?"
expect "the sources not begun are named" 3 "$(grep -c '^zrtranslate: not translated: ' "$work/err")"

# With --console, a warning after an engine report starts a line of its own.
printf '\\\\schema main\n-r\n  _a `x` x -e\n\\\\end schema\n\\\\end file\n' >"$work/warns"
"$zrtranslate" -v "$work/warns" "$work/go" >/dev/null 2>"$work/err"
expect "every warning on a line of its own" 0 "$(grep -c '[^ ].*[^:]'"$work/warns"':[0-9]*:[0-9]*: warning' "$work/err")"
expect_in "the warning is there" "^$work/warns:3:[0-9]*: warning: " "$work/err"

# Reading a schema takes time in proportion to its length: 300,000 comment
# lines, and a header line of 10 MB that names no directive, whose warning
# shows only the start of it.
{ printf '\\\\schema main\n-r\n'; yes "' a comment line of the schema" | head -300000
  printf '  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n'; } >"$work/long-schema"
out=$(timeout 60 "$zrtranslate" "$work/long-schema" "$hi/source" 2>/dev/null)
expect "a schema of 300,000 lines" "Hi" "$out"
{ printf '\\\\'; head -c 10000000 /dev/zero | tr '\0' 'x'; printf '=1\n'; cat "$hi/schema"; } >"$work/wide-header"
out=$(timeout 60 "$zrtranslate" "$work/wide-header" "$hi/source" 2>"$work/err")
expect "a header line of 10 MB" "Hi" "$out"
expect "its warning is cut" "1 1" "$(wc -l <"$work/err") $(( $(wc -c <"$work/err") < 300 ))"

[[ $failures -eq 0 ]] && echo "cli ok"
exit $((failures > 0))
