#!/usr/bin/env bash
# Installs every Debian package that building, running, testing and
# benchmarking Quillbox needs.  Does nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config bison
  clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  hyperfine abook time
  xvfb xauth openbox xdotool imagemagick poppler-utils fonts-dejavu-core
  qtkeychain-qt6-dev radicale python3 curl openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
