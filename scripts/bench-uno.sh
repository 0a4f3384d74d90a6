#!/usr/bin/env bash
# Builds the benchmark preset and compares the LibreOffice engine with a minimal
# direct UNO client on a 50-page template with 200 keys.
#   scripts/bench-uno.sh [rounds]   (RULECORE_BENCH_DIR: build folder, default build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${RULECORE_BENCH_DIR:-build/bench}
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j 2 --target uno_bench
"$build/bench/uno_bench" "$@"
