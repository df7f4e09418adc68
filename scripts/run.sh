#!/usr/bin/env bash
# Installs what is missing, builds Quillbox and starts it.  Arguments are
# passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
if [ -x build/release/src/shell/quillbox ]; then
  exec build/release/src/shell/quillbox "$@"
fi
exec build/release/tools/quillbox-tool "${@:---help}"
