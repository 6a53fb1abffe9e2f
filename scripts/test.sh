#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${QUILLORA_TEST_BUILD:-$root/build-test}"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=ON \
  -DQUILLORA_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
