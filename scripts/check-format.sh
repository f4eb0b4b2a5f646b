#!/usr/bin/env bash
# Fails when a C or C++ source of the project differs from what clang-format
# (the repository's .clang-format) makes of it, and lists the differences.
# example/ is left out: its C files are expected translation results, compared
# byte for byte by the tests. Run `make format` to reformat.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh lint
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h' ':!:example/*')
else
  mapfile -t files < <(find . -path ./example -prune -o -path './build*' -prune -o \
    -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
clang-format --dry-run -Werror "${files[@]}"
echo "check-format: ${#files[@]} files formatted"
