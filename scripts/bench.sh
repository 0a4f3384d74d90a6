#!/usr/bin/env bash
# Builds the benchmark preset and runs the rules benchmarks, then checks that ten
# times the input takes at most twelve times as long for loading and expanding.
#   scripts/bench.sh [benchmark options]   (RULECORE_BENCH_DIR: build folder, default build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${RULECORE_BENCH_DIR:-build/bench}
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j 2 --target rules_bench
results="$build/rules_bench.json"
"$build/bench/rules_bench" --benchmark_out="$results" --benchmark_out_format=json "$@"

python3 - "$results" <<'PY'
import json, sys
# CPU time: on a shared machine the wall clock also counts the other processes.
# Names read like BM_Family/10000 or BM_Family/10000/min_time:2.000/repeats:5_median.
runs = {}
# Where there are repetitions, their median stands for the size.
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
        continue
    if b.get("run_type") == "iteration" and b.get("repetitions", 1) > 1:
        continue
    parts = b["name"].split("/")
    if len(parts) > 1 and parts[1].isdigit():
        runs[(parts[0], int(parts[1]))] = b["cpu_time"]
failed = False
print()
for family in sorted({f for f, _ in runs}):
    small, large = runs.get((family, 10000)), runs.get((family, 100000))
    if small is None or large is None:
        continue
    ratio = large / small
    linear = family.startswith("BM_LoadAndExpandAll")
    verdict = ("ok (at most 12)" if ratio <= 12 else "TOO SLOW (more than 12)") if linear else ""
    failed |= linear and ratio > 12
    print(f"{family}: 100,000 / 10,000 keys = {ratio:.1f} x CPU time  {verdict}")
sys.exit(1 if failed else 0)
PY
