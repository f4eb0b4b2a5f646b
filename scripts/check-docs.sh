#!/usr/bin/env bash
# Runs one example of the guide (or of the recipes) through zrtranslate and
# checks that the program does what the document shows.
#
#   check-docs.sh ZRTRANSLATE EXAMPLE_DIR GUIDE
#
# GUIDE is the document that shows the example: docs/guide.md, or
# docs/recipes.md for a folder named recipe-*.
#
# An example folder holds: schema, source, and either expected (the exact
# standard output) or error (the one FILE:LINE:COLUMN: error: line of a failed
# run, exit status 1). Optional files:
#   args         extra options on one line (only options every build knows)
#   crlf         the source is run a second time with CR LF line ends and
#                must give the same output
#   console-has  lines that standard error must contain (blanks and tabs at
#                either end do not count), for the trace shown in the guide
# The run takes place inside the example folder (or a copy of it), so file
# names in messages read "schema" and "source" as the guide shows them.
# Last, GUIDE must show the schema, the source and the expected text (or the
# error line) verbatim, carriage returns left out.
set -uo pipefail
zrtranslate=$(realpath "$1")
example=$(realpath "$2")
guide=$3
name=$(basename "$example")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "$name: $*"
  exit 1
}

extra=()
[[ -f "$example/args" ]] && read -r -a extra <"$example/args"

# run DIR OUT: translates DIR/schema and DIR/source inside DIR.
run() {
  (cd "$1" && "$zrtranslate" "${extra[@]}" schema source >"$2.out" 2>"$2.err" </dev/null)
  echo $?
}

# check_run DIR OUT WHAT: the run's result against expected or error.
check_run() {
  local status
  status=$(run "$1" "$2")
  if [[ -f "$example/error" ]]; then
    [[ $status -eq 1 ]] || fail "$3: expected exit status 1, got $status"
    grep -a ': error: ' "$2.err" >"$2.line"
    cmp -s "$example/error" "$2.line" ||
      fail "$3: error line differs: $(cat "$2.line")"
  else
    [[ $status -eq 0 ]] || fail "$3: expected exit status 0, got $status: $(tail -3 "$2.err")"
    if ! cmp -s "$example/expected" "$2.out"; then
      diff <(cat -A "$example/expected") <(cat -A "$2.out") | head -20
      fail "$3: standard output differs from expected"
    fi
  fi
}

[[ -f "$example/schema" && -f "$example/source" ]] || fail "needs a schema and a source"
[[ -f "$example/expected" || -f "$example/error" ]] || fail "needs expected or error"

check_run "$example" "$work/run" "as written"

if [[ -f "$example/console-has" ]]; then
  trim() { tr -d '\r' | sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//'; }
  trim <"$work/run.err" >"$work/console"
  while IFS= read -r line; do
    wanted=$(printf '%s\n' "$line" | trim)
    [[ -z "$wanted" ]] && continue
    grep -qxF -- "$wanted" "$work/console" || fail "standard error lacks the line: $wanted"
  done <"$example/console-has"
fi

if [[ -f "$example/crlf" ]]; then
  mkdir "$work/crlf"
  cp "$example/schema" "$work/crlf/schema"
  perl -pe 's/\r?\n/\r\n/' "$example/source" >"$work/crlf/source"
  check_run "$work/crlf" "$work/crlf-run" "with CR LF line ends"
fi

# The guide shows each file as it is; its code blocks hold no carriage returns.
shown() {
  perl -e '
    local $/;
    open my $g, "<", $ARGV[0] or die "cannot read $ARGV[0]\n";
    open my $f, "<", $ARGV[1] or die "cannot read $ARGV[1]\n";
    my $guide = <$g> // "";
    my $text = <$f> // "";
    $text =~ s/\r//g;
    $text =~ s/\n+\z//;
    exit(index($guide, $text) >= 0 ? 0 : 1);' "$guide" "$1"
}
for file in schema source expected error console-has; do
  [[ -f "$example/$file" ]] || continue
  shown "$example/$file" || fail "$(basename "$guide") does not show $file as it is"
done
echo "ok"
