#!/usr/bin/env bash
# The main job on the bundled example: builds the native tools and previews the
# example rules as pickpaste would show them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)" --target rulecheck
build/linux/rulecheck/rulecheck --program pickpaste examples/example-rules.txt
