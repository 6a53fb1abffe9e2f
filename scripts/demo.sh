#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job on the example offer: the
# proposal document it composes and the two sequences that get signed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${QUILLORA_BUILD:-$root/build}"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
  -DQUILLORA_BENCH=OFF
quillora="$build/bin/quillora"
example="$root/examples/offer.xml"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "== The proposal document composed from $example"
"$quillora" --utf8 compose "$example" | tee "$work/proposal.xml"
echo "== Pre-sign sequence of PRIVATE"
"$quillora" --utf8 presign --start PRIVATE "$work/proposal.xml"
echo
echo "== Pre-sign sequence of the whole document"
"$quillora" --utf8 presign "$work/proposal.xml"
echo
