#!/usr/bin/env bash
# Translates a script with the example schema and checks what comes out.
#
#   check-example.sh ZRTRANSLATE SCHEMA SOURCE [--c EXPECTED_C] [--out EXPECTED_OUT]
#     The translation succeeds with a quiet console and the C passes
#     `cc -fsyntax-only`. With --c the C must equal EXPECTED_C byte for byte;
#     with --out the C is built and run, and what the program prints must
#     equal EXPECTED_OUT.
#   check-example.sh --fails MESSAGE ZRTRANSLATE SCHEMA SOURCE
#     The translation fails with exit status 1, standard error contains
#     MESSAGE, and nothing is written to standard output.
set -uo pipefail
message=
if [[ ${1:-} == --fails ]]; then message=$2; shift 2; fi
zrtranslate=$1
schema=$2
source=$3
shift 3
expected_c=
expected_out=
while [[ $# -gt 0 ]]; do
  case $1 in
    --c) expected_c=$2; shift 2 ;;
    --out) expected_out=$2; shift 2 ;;
    *) echo "check-example.sh: unknown argument '$1'"; exit 2 ;;
  esac
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$zrtranslate" "$schema" "$source" >"$work/out.c" 2>"$work/console" </dev/null
status=$?

if [[ -n $message ]]; then
  [[ $status -eq 1 ]] || { echo "expected exit status 1, got $status"; cat "$work/console"; exit 1; }
  grep -qF -- "$message" "$work/console" || { echo "no '$message' in:"; cat "$work/console"; exit 1; }
  [[ -s "$work/out.c" ]] && { echo "a failed translation wrote a result:"; cat "$work/out.c"; exit 1; }
  echo "ok"
  exit 0
fi

[[ $status -eq 0 ]] || { echo "expected exit status 0, got $status"; cat "$work/console"; exit 1; }
[[ -s "$work/console" ]] && { echo "the console is not quiet:"; cat "$work/console"; exit 1; }
cc -fsyntax-only -x c - <"$work/out.c" || { echo "the translated C does not compile"; exit 1; }

if [[ -n $expected_c ]] && ! cmp -s "$expected_c" "$work/out.c"; then
  echo "the C differs from $expected_c:"
  diff <(cat -A "$expected_c") <(cat -A "$work/out.c") | head -40
  exit 1
fi

if [[ -n $expected_out ]]; then
  cc -Wall -Wextra -Werror -o "$work/program" -x c "$work/out.c" ||
    { echo "the translated C does not build without warnings"; exit 1; }
  # A broken loop condition must fail the test, not hang it.
  timeout 60 "$work/program" >"$work/program.out" </dev/null ||
    { echo "the translated program failed or did not end"; exit 1; }
  if ! cmp -s "$expected_out" "$work/program.out"; then
    echo "the program's output differs from $expected_out:"
    diff "$expected_out" "$work/program.out" | head -40
    exit 1
  fi
fi
echo "ok"
