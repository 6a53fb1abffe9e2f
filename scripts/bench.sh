#!/usr/bin/env bash
# Builds in Release and runs every benchmark in one go, then prints the table of ratios
# the targets are stated in. Figures of one run are compared with each other only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${QUILLORA_BENCH_BUILD:-$root/build-bench}"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF
out="$build/bench-results"
mkdir -p "$out"
for b in base64 xml proposal crypto control; do
  echo "running ${b}_bench..." >&2
  "$build/bin/${b}_bench" --benchmark_format=json --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true > "$out/$b.json"
done
python3 "$root/scripts/bench_table.py" "$out"
