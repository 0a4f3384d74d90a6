#!/usr/bin/env bash
# The main job on the bundled example: builds the native tools, previews the
# example rules as pickpaste would show them, then fills the example Word template
# with fillrun through LibreOffice and leaves the filled .doc and a PDF of it in
# build/linux/example-run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)" --target rulecheck fillrun
build/linux/rulecheck/rulecheck --program pickpaste examples/example-rules.txt

# fillrun works in the folder that holds it: give it one with the example files.
run=build/linux/example-run
rm -rf "$run"
mkdir -p "$run"
cp build/linux/fillrun/fillrun examples/example.doc examples/example-fill.txt "$run"/
(cd "$run" && ./fillrun -B example-fill.txt example.doc example-filled.doc)

# A PDF of the result for a quick look, from an office run of its own.
profile=$(mktemp -d "${TMPDIR:-/tmp}/rulecore-example-office.XXXXXX")
trap 'rm -rf "$profile"' EXIT
soffice -env:UserInstallation="file://$profile" --headless --norestore \
  --convert-to pdf --outdir "$run" "$run/example-filled.doc" >/dev/null 2>&1
for f in example-filled.doc example-filled.pdf; do
  [ -s "$run/$f" ] || { echo "example: $run/$f was not made" >&2; exit 1; }
done
echo "example: filled document and PDF in $run/"
