# Shell functions shared by the benchmark scripts and their smoke tests
# (sourced, not run).

# Reads "TOOL DATA_DIR [N ...]" and the environment of a comparison script
# and checks them, exiting 2 on a usage error.  $1: the default number of
# hyperfine runs; $2: the data file extensions every size needs (e.g.
# "qxd csv abook"); the rest: the script's arguments.  Sets tool, data (both
# absolute), sizes, out_root, runs and warmup.
read_bench_arguments() {
    local default_runs=$1 extensions=$2
    shift 2
    bench_usage() {
        echo "usage: $0 TOOL DATA_DIR [N ...]" >&2
        echo "  TOOL: quillbox-tool binary; DATA_DIR: folder of book-N.{${extensions// /,}}" >&2
        exit 2
    }
    [ $# -ge 2 ] || bench_usage
    tool=$1
    data=$2
    shift 2
    sizes=("$@")
    [ ${#sizes[@]} -gt 0 ] || sizes=(100000)
    out_root=${OUT_DIR:-$(cd "$(dirname "$0")" && pwd)/out}
    runs=${RUNS:-$default_runs}
    warmup=${WARMUP:-1}
    [ -x "$tool" ] || { echo "not an executable: $tool" >&2; bench_usage; }
    [ -d "$data" ] || { echo "not a folder: $data" >&2; bench_usage; }
    for program in hyperfine abook awk cmp; do
        command -v "$program" >/dev/null || { echo "$program is not installed" >&2; exit 2; }
    done
    [ -x /usr/bin/time ] || {
        echo "/usr/bin/time is not installed (Debian package 'time')" >&2
        exit 2
    }
    local n ext
    for n in "${sizes[@]}"; do
        [[ $n =~ ^[0-9]+$ ]] || { echo "not a book size: $n" >&2; bench_usage; }
        for ext in $extensions; do
            [ -f "$data/book-$n.$ext" ] || {
                echo "missing $data/book-$n.$ext (run quillbox_generate_books $n)" >&2
                exit 2
            }
        done
    done
    tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
    data=$(cd "$data" && pwd)
}

# Peak resident set size in kB of a command (its output goes to /dev/null).
peak_kb() {
    local report
    report=$(mktemp)
    /usr/bin/time -v "$@" >/dev/null 2>"$report"
    awk -F': ' '/Maximum resident set size/ { print $2 }' "$report"
    rm -f "$report"
}

# Wall-clock time in seconds of the fastest run of the command named $2 in
# hyperfine's CSV export $1 (columns: command, mean, stddev, median, user,
# system, min, max).  The fastest run is the one least disturbed by other work
# on a shared machine, so the scripts compare those.
fastest_of() {
    awk -F, -v name="$2" 'NR > 1 && $1 == name { print $7 }' "$1"
}

# A word for hyperfine's command lines, in single quotes.
quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

# ---- for the smoke tests: "fail" counts a failure; "expect_exit CODE
# COMMAND..." runs a command into $work/log and fails unless it exits CODE.
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expect_exit() {
    local expected=$1
    shift
    "$@" >"$work/log" 2>&1
    local rc=$?
    [ $rc -eq "$expected" ] || fail "exit $rc instead of $expected: $*"
}
