#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over the engine, common and cli
# sources (tests left out), using the compile commands of a configured build
# folder (default: build). Any finding fails.
#
#   check-tidy.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/install-deps.sh lint
[[ -f "$build/compile_commands.json" ]] || { echo "check-tidy: configure $build first" >&2; exit 2; }
mapfile -t files < <(ls engine/*.cpp common/*.cpp cli/*.cpp | grep -v '_test\.cpp$')
# The build's -Werror (CI builds with ZR_WERROR) is meant for g++: clang's own
# warnings are not this check's findings.
run-clang-tidy -p "$build" -quiet -j 2 -extra-arg=-Wno-error "${files[@]}"
echo "check-tidy: ${#files[@]} files without a finding"
