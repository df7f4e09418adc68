#!/usr/bin/env bash
# Installs what is missing, builds the program and the command-line tool
# (not the tests or the benchmarks) and starts Quillbox.  Arguments are passed
# on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Checking the packages Quillbox needs (installing the missing ones)..."
bash scripts/install-deps.sh
echo "Configuring the build in build/release..."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "Building quillbox and quillbox-tool..."
targets=(quillbox-tool)
if cmake --build build/release --target help | grep -q '^quillbox:'; then
  targets+=(quillbox quillbox_help quillbox_icons)
fi
cmake --build build/release -j "$(nproc)" --target "${targets[@]}"
if [ -x build/release/src/shell/quillbox ]; then
  echo "Starting build/release/src/shell/quillbox"
  exec build/release/src/shell/quillbox "$@"
fi
exec build/release/tools/quillbox-tool "${@:---help}"
