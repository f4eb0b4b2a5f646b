#!/usr/bin/env bash
# Runs each fuzz target for SECONDS on its checked-in corpus (fuzz/corpus/NAME).
# New inputs go to BUILD/corpus/NAME, so the checked-in corpus stays small;
# a finding is written to BUILD/artifacts/ and fails the run.
#   fuzz/run-fuzz.sh BUILD SECONDS [NAME...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 seconds=$2
shift 2
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(translate schema action form options frontend)

mkdir -p "$build/artifacts"
for name in "${targets[@]}"; do
  mkdir -p "$build/corpus/$name"
  echo "fuzz: $name for ${seconds}s"
  # The memory limits stop an input that builds huge texts before the system
  # does; the timeout reports an input that runs on (every run is bounded, so
  # 60 s means a fault, unless the machine is heavily loaded).
  "$build/fuzz/${name}_fuzz" -dict=fuzz/schema.dict -max_total_time="$seconds" -timeout=60 \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" "fuzz/corpus/$name" \
    >"$build/fuzz-$name.log" 2>&1 || {
    tail -n 40 "$build/fuzz-$name.log"
    echo "fuzz: $name found a fault (input in $build/artifacts/)" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$build/fuzz-$name.log" || true
done
