#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang-format python3
  libxml2-dev libssl-dev openssl
  libgtest-dev libgmock-dev googletest libbenchmark-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
