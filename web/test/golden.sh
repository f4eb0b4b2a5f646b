#!/usr/bin/env bash
# Runs every golden case through the WebAssembly build of zrtranslate under
# node, byte for byte as scripts/run-golden.sh runs the native one.
#
#   golden.sh ZRTRANSLATE_JS GOLDEN_DIR
set -uo pipefail
zrtranslate_js=$(realpath "$1")
golden=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run-golden.sh runs a program: this one starts node on the module.
cat >"$work/zrtranslate" <<WRAPPER
#!/bin/sh
exec node --no-experimental-fetch "$zrtranslate_js" "\$@"
WRAPPER
chmod +x "$work/zrtranslate"

passed=0
failed=0
for case_dir in "$golden"/*/; do
  case_dir=${case_dir%/}
  if output=$("$top/scripts/run-golden.sh" "$work/zrtranslate" "$case_dir" 2>&1); then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $(basename "$case_dir"): $output"
  fi
done
echo "golden (WebAssembly): $passed passed, $failed failed"
[[ $failed -eq 0 ]]
