#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job on a self-contained sandbox:
# a security client with test keys, the control registered in it, one proposal made from
# the example offer through the automation interface, checked as the site checks it,
# and kept in the offer store.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${QUILLORA_BUILD:-$root/build}"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
  -DQUILLORA_BENCH=OFF
bin="$build/bin"
quillora="$bin/quillora"
example="$root/examples/offer.xml"
sandbox="${QUILLORA_SANDBOX:-$build/sandbox}"

echo "== The proposal document the example offer gives"
"$quillora" --utf8 compose "$example" | tee "$build/proposal.xml"
echo "== Its pre-sign sequence of PRIVATE"
"$quillora" --utf8 presign --start PRIVATE "$build/proposal.xml"
echo
echo "== Its pre-sign sequence of the whole document"
"$quillora" --utf8 presign "$build/proposal.xml"
echo

echo "== A security client sandbox in $sandbox"
eval "$("$quillora" sandbox "$sandbox")"
echo "QUILLORA_REGISTRY=$QUILLORA_REGISTRY"

# The control and its Base64 library are installed in the sandbox, where the store lives.
mkdir -p "$sandbox/control"
cp "$bin/libquillora.so" "$bin/libsorlit.so" "$sandbox/control/"
echo "== Registering the control"
"$quillora" register "$sandbox/control/libquillora.so"

echo "== MakeEncProposal through the automation interface (offer confirmed as given)"
"$quillora" --utf8 propose --dest srv1 --yes "$example" > "$sandbox/proposal.b64"
echo "$(head -c 76 "$sandbox/proposal.b64")..."

echo "== The site's check of the result"
"$quillora" verify --key "$sandbox/site/site.key" --cert "$sandbox/site/site.crt" \
  --ca "$sandbox/ca/ca.crt" "$sandbox/proposal.b64"

echo "== The offer store"
entries=$(grep -o '<OFFER ID="[^"]*">' "$sandbox/control/Quillora.xml" | wc -l)
echo "$sandbox/control/Quillora.xml holds $entries offer entries"
