# bash completion for zrtranslate: its options, the values of --eol, a file
# after -o/--output, a folder after --out-dir, and files for the schema and
# the sources (only files after "--").

_zrtranslate() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=${COMP_WORDS[COMP_CWORD - 1]:-}
  local options="--raw --eol= -o --output --out-dir -j --jobs -v --console --debug --steps
    --timeout --max-steps --max-memory -h --help --version --"
  COMPREPLY=()

  # "--eol=VALUE": bash splits the word at "=" when "=" is a word break.
  if [[ $cur == = && $prev == --eol ]]; then
    cur=
    prev=--eol=
  elif [[ $prev == = && ${COMP_WORDS[COMP_CWORD - 2]:-} == --eol ]]; then
    prev=--eol=
  fi
  if [[ $prev == --eol= ]]; then
    mapfile -t COMPREPLY < <(compgen -W "crlf lf" -- "$cur")
    return
  fi
  if [[ $cur == --eol=* ]]; then
    mapfile -t COMPREPLY < <(compgen -P --eol= -W "crlf lf" -- "${cur#--eol=}")
    return
  fi

  case $prev in
    -o | --output)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return
      ;;
    --out-dir)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return
      ;;
    -j | --jobs | --timeout | --max-steps | --max-memory)
      return  # a number
      ;;
  esac

  # After "--" every word is a file name.
  local i
  for ((i = 1; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && break
  done
  if [[ $cur == -* && $i -eq $COMP_CWORD ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    [[ ${COMPREPLY[*]} == --eol= ]] && compopt -o nospace 2>/dev/null
    return
  fi
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -F _zrtranslate zrtranslate
