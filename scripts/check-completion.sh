#!/usr/bin/env bash
# Checks zrtranslate's shell completion: the bash function's answers for
# options, --eol values, files and folders, that it offers every long option
# `zrtranslate --help` lists, and (when zsh is installed) that the zsh file
# parses.
#   check-completion.sh ZRTRANSLATE COMPLETION_DIR
set -uo pipefail
zrtranslate=$1
completion=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# shellcheck source=/dev/null
source "$completion/zrtranslate.bash"
cd "$work" && mkdir folder && touch schema.txt source.inc

# answers LINE: the sorted completions of LINE (its last word is completed;
# a LINE ending in a blank completes an empty word), split at "=" as bash
# does by default.
answers() {
  local line=$1
  read -r -a COMP_WORDS <<<"${line//=/ = }"
  [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  _zrtranslate
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
}

while IFS='|' read -r line wanted; do
  got=$(answers "$line")
  if [[ "$got" != "$wanted" ]]; then
    echo "'$line<TAB>' gives '$got', not '$wanted'"
    failures=$((failures + 1))
  fi
done <<'EOF'
zrtranslate --ma|--max-memory --max-steps
zrtranslate --e|--eol=
zrtranslate --eol=|crlf lf
zrtranslate --eol=l|lf
zrtranslate -o |folder schema.txt source.inc
zrtranslate --output s|schema.txt source.inc
zrtranslate --out-dir |folder
zrtranslate --jobs |
zrtranslate schema.txt s|schema.txt source.inc
zrtranslate -- -|
EOF

# Every long option of --help is offered.
offered=" $(answers 'zrtranslate --') "
for option in $("$zrtranslate" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  [[ "$offered" == *" $option "* || "$offered" == *" $option= "* ]] || {
    echo "--help lists $option, the bash completion does not offer it"
    failures=$((failures + 1))
  }
  grep -q -- "$option" "$completion/_zrtranslate" || {
    echo "--help lists $option, the zsh completion does not offer it"
    failures=$((failures + 1))
  }
done

if command -v zsh >/dev/null; then
  zsh -n "$completion/_zrtranslate" || failures=$((failures + 1))
else
  echo "zsh is not installed: the zsh file was not parsed"
fi
[[ $failures -eq 0 ]] && echo "completion ok"
exit $((failures > 0))
