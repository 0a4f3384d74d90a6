#!/usr/bin/env bash
# Builds both presets and runs every test: native (ASan + UBSan), Windows under
# Wine in a throw-away prefix, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/rulecore-wine.XXXXXX")
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "== native build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

echo "== Windows build and tests under Wine"
LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows

if [ -d fuzz ]; then
  echo "== fuzzing (${RULECORE_FUZZ_SECONDS:-30} s per target)"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  bash scripts/fuzz.sh "${RULECORE_FUZZ_SECONDS:-30}"
fi
