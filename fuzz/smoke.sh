#!/usr/bin/env bash
# smoke.sh TARGET CORPUS RUNS: runs a libFuzzer target over a scratch copy of
# its corpus (- for none) for a fixed number of inputs with a fixed seed;
# fails on the first crash or sanitizer report.
set -euo pipefail
target=$1 corpus=$2 runs=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
if [ "$corpus" != - ]; then cp -r "$corpus"/. "$work/corpus"/; fi
echo "fuzz: $(basename "$target"), $runs inputs"
"$target" -runs="$runs" -seed=1 -max_len=65536 -timeout=10 -print_final_stats=0 \
  -artifact_prefix="$work/" "$work/corpus" 2>"$work/log" || {
  tail -50 "$work/log"
  # The input that failed stays beside the build for a rerun.
  cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* . 2>/dev/null || true
  exit 1
}
