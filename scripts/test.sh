#!/usr/bin/env bash
# Installs what is missing, builds Quillbox three ways and runs every test:
#   1. an optimised build: the unit tests (ctest);
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build: the same tests;
#   3. clang libFuzzer harnesses: a short run of each over outside input.
# Set QUILLBOX_FUZZ_SECONDS to change the length of each fuzz run.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh || { echo "dependency installation failed"; exit 1; }

jobs=$(nproc)
fuzz_seconds=${QUILLBOX_FUZZ_SECONDS:-15}

# A CardDAV server for the sync tests (Radicale on a free port of this
# machine, with its own storage), stopped whatever happens.  The tests are
# told where it is; told so, they fail when it does not answer.
. tests/carddav/radicale_session.sh
start_radicale_session || { echo "the CardDAV test server did not start"; exit 1; }
export QT_QPA_PLATFORM=offscreen
passed=0
failed=0
status=0

run_ctest() {  # build-dir label
  local dir=$1 label=$2 log
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local total fails
  total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -1)
  fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  rm -f "$log"
  if [ -z "$total" ]; then
    echo "$label: ctest did not report a result"
    failed=$((failed + 1)); status=1; return
  fi
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  [ "$rc" -eq 0 ] || status=1
}

echo "== source format (clang-format)"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  sources=$(git ls-files 'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'tools/*.h' 'tools/*.cpp' 'bench/*.h' 'bench/*.cpp')
else
  sources=$(find src tests tools bench -name '*.h' -o -name '*.cpp')
fi
if clang-format --dry-run -Werror $sources; then
  passed=$((passed + 1))
else
  echo "format check failed: run clang-format -i on the files above"
  failed=$((failed + 1)); status=1
fi

echo "== optimised build and unit tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBOX_BENCH=ON >/dev/null &&
  cmake --build build/release -j "$jobs" || { echo "build failed"; exit 1; }
run_ctest build/release release

echo "== sanitizer build (ASan + UBSan) and unit tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's own libraries are not instrumented and keep some allocations for the
# life of the process; leak reports from them are not ours.
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLBOX_SANITIZE=ON >/dev/null &&
  cmake --build build/sanitize -j "$jobs" || { echo "sanitizer build failed"; exit 1; }
run_ctest build/sanitize sanitize

echo "== fuzzing (${fuzz_seconds}s per harness)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLBOX_FUZZ=ON -DQUILLBOX_GUI=OFF >/dev/null &&
  cmake --build build/fuzz -j "$jobs" || { echo "fuzz build failed"; exit 1; }
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=tests/fuzz/seeds/${name#fuzz_}
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  if "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
      "$corpus" >"build/fuzz/$name.log" 2>&1; then
    echo "$name: ok ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build/fuzz/$name.log" |
      awk '{print $2}') runs)"
    passed=$((passed + 1))
  else
    echo "$name: FAILED"; tail -40 "build/fuzz/$name.log"
    failed=$((failed + 1)); status=1
  fi
  rm -rf "$corpus"
done

echo
echo "$passed passed, $failed failed"
exit $status
