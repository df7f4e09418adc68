#!/usr/bin/env bash
# Smoke test of run_vcard_hyperfine.sh on a small generated book:
#   run_vcard_hyperfine_test.sh GENERATOR TOOL
# Usage errors must exit 2; a normal run must exit 0, import every card and
# write the summary with all its rows.
set -u
generator=$1
tool=$2
script="$(cd "$(dirname "$0")" && pwd)/run_vcard_hyperfine.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(cd "$(dirname "$0")" && pwd)/bench_common.sh"

"$generator" --out "$work/data" 200 >/dev/null || { echo "generator failed"; exit 1; }

expect_exit 2 "$script"
expect_exit 2 "$script" "$work/no-such-tool" "$work/data" 200
expect_exit 2 "$script" "$tool" "$work/data" 300   # no book of that size

OUT_DIR="$work/out" RUNS=2 WARMUP=0 expect_exit 0 "$script" "$tool" "$work/data" 200
grep -q "quillbox-tool: 200 addresses imported." "$work/log" || fail "not every card imported"
summary="$work/out/vcard-summary-200.md"
[ -f "$summary" ] || fail "no summary"
for row in "import --vcard / abook vcard->native" "export --vcard / abook native->vcard" \
    "export --vcard 4.0 / abook native->vcard"; do
    grep -Eq "^\| $row \| [0-9]+ ms / [0-9]+ ms = [0-9.]+x \|" "$summary" || fail "no ratio for $row"
done
for row in "import --vcard" "export --vcard"; do
    grep -Eq "^\| $row \| [0-9]+ kB \| [0-9.]+x \|" "$summary" || fail "no peak memory for $row"
done

[ $failures -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
