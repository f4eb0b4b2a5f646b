#!/usr/bin/env bash
# Checks that a built libzrdll.so exports the public API and nothing else.
set -euo pipefail
lib=$1
exported=$(nm -D --defined-only -C "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }')
unexpected=$(grep -v -E '^(zr::(zrcomp|output_object|zrcomp_error)(::|$)|zr::(set_event_pump|diagnostic_line|location_line|default_memory_limit_mb)\(|zrcomp_[a-z_]+$|zrdll_version$|(typeinfo|typeinfo name|vtable) for zr::(output_object|zrcomp_error)$)' <<<"$exported" || true)
if [[ -n "$unexpected" ]]; then
  echo "libzrdll.so exports internal symbols:" >&2
  echo "$unexpected" >&2
  exit 1
fi
for wanted in 'zr::zrcomp::translate' 'zr::set_event_pump' 'zrcomp_create' 'zrcomp_translate'; do
  grep -q -F "$wanted" <<<"$exported" || { echo "libzrdll.so does not export $wanted" >&2; exit 1; }
done
echo "exports ok"
