#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds each (default 30), starting from the
# seed corpus in fuzz/corpus/<name>. New inputs go to a scratch corpus in the build
# folder, so the seeds stay small. A crash, a leak, a timeout or running out of
# memory fails the script and leaves the input in build/fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS]        (RULECORE_FUZZ_DIR: build folder, default build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${RULECORE_FUZZ_DIR:-build/fuzz}
artifacts="$build/artifacts"
mkdir -p "$artifacts"

status=0
for name in rules extract; do
  target="$build/fuzz/${name}_fuzzer"
  if [ ! -x "$target" ]; then
    echo "fuzz: $target is missing; build the fuzz preset first" >&2
    exit 1
  fi
  scratch="$build/corpus/$name"
  mkdir -p "$scratch"
  echo "fuzz: $name for ${seconds} s"
  if ! "$target" "$scratch" "fuzz/corpus/$name" \
      -max_total_time="$seconds" -max_len=65536 -timeout=60 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts/${name}-" -print_final_stats=1 2>"$build/$name.log"; then
    tail -n 60 "$build/$name.log" >&2
    echo "fuzz: $name failed; see $build/$name.log and $artifacts" >&2
    status=1
  else
    grep -E '^(stat::number_of_executed_units|Done )' "$build/$name.log" || true
  fi
done
exit $status
