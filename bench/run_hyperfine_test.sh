#!/usr/bin/env bash
# Smoke test of run_hyperfine.sh on a small generated book:
#   run_hyperfine_test.sh GENERATOR TOOL
# Usage errors must exit 2; a normal run must exit 0, see every contact
# survive abook's two conversions and write the summary with all its rows.
set -u
generator=$1
tool=$2
script="$(cd "$(dirname "$0")" && pwd)/run_hyperfine.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(cd "$(dirname "$0")" && pwd)/bench_common.sh"

"$generator" --out "$work/data" 200 >/dev/null || { echo "generator failed"; exit 1; }

expect_exit 2 "$script"
expect_exit 2 "$script" "$tool"
expect_exit 2 "$script" "$work/no-such-tool" "$work/data" 200
expect_exit 2 "$script" "$tool" "$work/no-such-folder" 200
expect_exit 2 "$script" "$tool" "$work/data" 300   # no book of that size
expect_exit 2 "$script" "$tool" "$work/data" 2x

OUT_DIR="$work/out" RUNS=2 WARMUP=0 expect_exit 0 "$script" "$tool" "$work/data" 200
grep -q "200 contacts in the native file, 200 csv lines, 200 contacts converted back" \
    "$work/log" || fail "abook did not carry every contact"
summary="$work/out/summary-200.md"
[ -f "$summary" ] || fail "no summary"
[ -f "$work/out/hyperfine-200.md" ] || fail "no hyperfine table"
for row in "check / abook native->csv" "export --comma / abook native->csv" \
    "import --comma / abook csv->native" "convert / abook native->csv"; do
    grep -Eq "^\| $row \| [0-9.]+x \| [0-9.]+x \|" "$summary" || fail "no ratio for $row"
done
for row in check convert "import --comma" "export --comma" "abook native->csv" \
    "abook csv->native"; do
    grep -Eq "^\| $row \| [0-9]+ \|$" "$summary" || fail "no peak memory for $row"
done
grep -q "^check peak / book size: [0-9.]*x" "$summary" || fail "no memory ratio"
grep -q "convert output vs the book: identical; export output vs book-200.csv: identical" \
    "$summary" || fail "convert or export did not reproduce the generated files"

[ $failures -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
