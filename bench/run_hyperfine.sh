#!/usr/bin/env bash
# Times quillbox-tool against abook on the generated books and reports the
# ratios and peak memory.  Builds nothing; figures are reported, not asserted,
# so the script fails only on usage errors (missing tool, data or programs).
#
#   bench/run_hyperfine.sh TOOL DATA_DIR [N ...]
#
#   TOOL      path to quillbox-tool (e.g. build-bench/tools/quillbox-tool)
#   DATA_DIR  folder with book-N.qxd, book-N.csv and book-N.abook
#             (made by quillbox_generate_books)
#   N         book sizes to measure; default 100000
#
# Environment: OUT_DIR (default bench/out) receives the timing tables
# (hyperfine-N.md, hyperfine-N.csv), summary-N.md and scratch output files;
# RUNS (default 5) and WARMUP (default 1) set hyperfine's repetitions.
set -u

# shellcheck source=bench_common.sh
. "$(cd "$(dirname "$0")" && pwd)/bench_common.sh"
read_bench_arguments 5 "qxd csv abook" "$@"

# Every field of the book, column i + 1 for field i: the layout of the
# generated delimited files.
fields=(LastName FirstName MiddleInitial Title Address1 Address2 City Country State ZipCode
        Company Department Position Manager Additional1 Additional2 HomePhone HomeExt
        WorkPhone WorkExt CellPhone CellExt Pager PagerCard PagerExt FaxPhone FaxExt
        Email1 Email2 Web1 Web2 Notes)
spec=""
for i in "${!fields[@]}"; do
    spec+="${spec:+,}${fields[$i]}=$((i + 1))"
done

# Mean processor time (user + system) of the command named $2 in hyperfine's
# CSV export $1 (see fastest_of); steadier than wall-clock time on a machine
# shared with other work.
cpu_of() {
    awk -F, -v name="$2" 'NR > 1 && $1 == name { print $5 + $6 }' "$1"
}

# One row of the ratio table: wall-clock ratio a / b and processor-time ratio
# c / d, to two decimals, and whether the wall-clock ratio meets
# "<= target"; $7 names the quillbox-tool command behind a and c.
ratio_line() {
    local label=$1 a=$2 b=$3 c=$4 d=$5 target=$6 name=$7
    if [ "${exit_of[$name]:-0}" -ne 0 ]; then
        printf '| %s | %s failed | | <= %sx | |\n' "$label" "$name" "$target"
        return
    fi
    if [ -z "$a" ] || [ -z "$b" ] || [ -z "$c" ] || [ -z "$d" ]; then
        printf '| %s | n/a | n/a | <= %sx | |\n' "$label" "$target"
        return
    fi
    awk -v l="$label" -v a="$a" -v b="$b" -v c="$c" -v d="$d" -v t="$target" 'BEGIN {
        r = a / b
        printf "| %s | %.2fx | %.2fx | <= %sx | %s |\n", l, r, (d > 0 ? c / d : 0), t,
            (r <= t ? "met" : "NOT met")
    }'
}

# ratio_line for quillbox-tool command $2 (hyperfine name $3) against the
# abook run named $4.
compare() {
    local times=$1 name=$2 run=$3 base=$4 target=$5
    ratio_line "$run / $base" "$(fastest_of "$times" "$run")" "$(fastest_of "$times" "$base")" \
        "$(cpu_of "$times" "$run")" "$(cpu_of "$times" "$base")" "$target" "$name"
}

# Runs a command once, printing its exit status (and the start of its error
# output when it failed) and keeping it in exit_of[NAME]; $out names the
# scratch folder.
declare -A exit_of
status() {
    local name=$1
    shift
    "$@" >/dev/null 2>"$out/$name.stderr"
    local rc=$?
    exit_of[$name]=$rc
    printf '%s exit %d' "$name" "$rc"
    [ -s "$out/$name.stderr" ] && printf ': %s' "$(head -c 200 "$out/$name.stderr")"
    echo
}

# The figure, or a note that the command failed (its time means nothing then).
figure() {
    local name=$1 value=$2
    if [ "${exit_of[$name]:-0}" -ne 0 ]; then
        echo "failed (exit ${exit_of[$name]})"
    else
        echo "${value:-n/a}"
    fi
}

for n in "${sizes[@]}"; do
    out="$out_root/$n"
    mkdir -p "$out" || exit 2
    book="$data/book-$n.qxd"
    csv="$data/book-$n.csv"
    native="$data/book-$n.abook"
    abook_csv="$out/abook-in.csv"
    summary="$out_root/summary-$n.md"
    book_bytes=$(stat -c %s "$book")

    echo "== book of $n contacts: $book ($book_bytes bytes)"

    # abook's csv input is what abook itself writes; make it once and make
    # sure that both directions really carry every contact.
    rm -f "$abook_csv" "$out/abook-check.abook"
    abook --convert --informat abook --infile "$native" --outformat csv --outfile "$abook_csv"
    native_count=$(grep -c '^\[[0-9][0-9]*\]$' "$native")
    csv_count=$(wc -l <"$abook_csv")
    abook --convert --informat csv --infile "$abook_csv" --outformat abook \
        --outfile "$out/abook-check.abook"
    back_count=$(grep -c '^\[[0-9][0-9]*\]$' "$out/abook-check.abook")
    echo "abook: $native_count contacts in the native file, $csv_count csv lines," \
        "$back_count contacts converted back"

    # One plain run of each tool command: exit status and whether the output
    # matches what the generator wrote (convert and export of an unchanged
    # book reproduce those files byte for byte).
    status check "$tool" check "$book"
    status convert "$tool" convert "$book" "$out/convert.qxd"
    status import "$tool" import --comma --columns "$spec" "$csv" "$out/import.qxd"
    status export "$tool" export --comma --columns "$spec" "$book" "$out/export.csv"
    cmp -s "$book" "$out/convert.qxd" && same_convert=identical || same_convert=different
    cmp -s "$csv" "$out/export.csv" && same_export=identical || same_export=different
    echo "convert output vs book-$n.qxd: $same_convert; export output vs book-$n.csv: $same_export"

    q_tool=$(quote "$tool")
    hyperfine --warmup "$warmup" --runs "$runs" -N --ignore-failure \
        --prepare "rm -f $(quote "$out/abook-out.csv") $(quote "$out/abook-out.abook")" \
        --export-markdown "$out_root/hyperfine-$n.md" --export-csv "$out_root/hyperfine-$n.csv" \
        -n "wc -l" "wc -l $(quote "$book")" \
        -n "check" "$q_tool check $(quote "$book")" \
        -n "convert" "$q_tool convert $(quote "$book") $(quote "$out/convert.qxd")" \
        -n "import --comma" \
        "$q_tool import --comma --columns $spec $(quote "$csv") $(quote "$out/import.qxd")" \
        -n "export --comma" \
        "$q_tool export --comma --columns $spec $(quote "$book") $(quote "$out/export.csv")" \
        -n "abook native->csv" \
        "abook --convert --informat abook --infile $(quote "$native") --outformat csv --outfile $(quote "$out/abook-out.csv")" \
        -n "abook csv->native" \
        "abook --convert --informat csv --infile $(quote "$abook_csv") --outformat abook --outfile $(quote "$out/abook-out.abook")"

    times="$out_root/hyperfine-$n.csv"

    rm -f "$out/abook-out.csv" "$out/abook-out.abook"
    kb_check=$(peak_kb "$tool" check "$book")
    kb_convert=$(peak_kb "$tool" convert "$book" "$out/convert.qxd")
    kb_import=$(peak_kb "$tool" import --comma --columns "$spec" "$csv" "$out/import.qxd")
    kb_export=$(peak_kb "$tool" export --comma --columns "$spec" "$book" "$out/export.csv")
    kb_to_csv=$(peak_kb abook --convert --informat abook --infile "$native" --outformat csv \
        --outfile "$out/abook-out.csv")
    kb_to_native=$(peak_kb abook --convert --informat csv --infile "$abook_csv" \
        --outformat abook --outfile "$out/abook-out.abook")

    {
        echo "## Book of $n contacts"
        echo
        echo "Book file: $book_bytes bytes. abook: $native_count native contacts," \
            "$csv_count csv lines, $back_count converted back."
        echo "convert output vs the book: $same_convert; export output vs book-$n.csv: $same_export."
        echo
        echo "| Ratio | Wall clock (fastest runs) | CPU (user+sys, means) | Target | |"
        echo "|---|---|---|---|---|"
        compare "$times" check check "abook native->csv" 1.0
        compare "$times" export "export --comma" "abook native->csv" 1.0
        compare "$times" import "import --comma" "abook csv->native" 1.0
        compare "$times" convert convert "abook native->csv" 1.5
        echo
        echo "| Peak memory (max RSS) | kB |"
        echo "|---|---|"
        echo "| check | $(figure check "$kb_check") |"
        echo "| convert | $(figure convert "$kb_convert") |"
        echo "| import --comma | $(figure import "$kb_import") |"
        echo "| export --comma | $(figure export "$kb_export") |"
        echo "| abook native->csv | ${kb_to_csv:-n/a} |"
        echo "| abook csv->native | ${kb_to_native:-n/a} |"
        echo
        if [ -n "$kb_check" ] && [ "${exit_of[check]}" -eq 0 ]; then
            awk -v kb="$kb_check" -v size="$book_bytes" 'BEGIN {
                r = kb * 1024 / size
                printf "check peak / book size: %.2fx (target < 6x): %s\n", r, (r < 6 ? "met" : "NOT met")
            }'
        fi
    } >"$summary"

    echo
    cat "$out_root/hyperfine-$n.md"
    echo
    cat "$summary"
    echo
done
exit 0
