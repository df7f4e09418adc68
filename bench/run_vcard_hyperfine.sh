#!/usr/bin/env bash
# Times vCard import and export of quillbox-tool against abook converting the
# same contacts, in one hyperfine run, and reports the ratios of the fastest
# runs and peak memory.  Builds nothing; figures are reported, not asserted,
# so the script fails only on usage errors (missing tool, data or programs).
#
#   bench/run_vcard_hyperfine.sh TOOL DATA_DIR [N ...]
#
#   TOOL      path to quillbox-tool (e.g. build-bench/tools/quillbox-tool)
#   DATA_DIR  folder with book-N.qxd and book-N.abook
#             (made by quillbox_generate_books)
#   N         book sizes to measure; default 100000
#
# The vCard file of N contacts is what `quillbox-tool export --vcard` writes
# for book-N.qxd (made once, untimed); abook imports that same file.
#
# Environment: OUT_DIR (default bench/out) receives vcard-hyperfine-N.md,
# vcard-hyperfine-N.csv, vcard-summary-N.md and scratch files under vcard-N/;
# RUNS (default 7) and WARMUP (default 1) set hyperfine's repetitions.
set -u

# shellcheck source=bench_common.sh
. "$(cd "$(dirname "$0")" && pwd)/bench_common.sh"
read_bench_arguments 7 "qxd abook" "$@"

# One row of the ratio table: fastest a / fastest b against "<= target".
ratio_line() {
    local label=$1 a=$2 b=$3 target=$4
    if [ -z "$a" ] || [ -z "$b" ]; then
        printf '| %s | n/a | <= %sx | |\n' "$label" "$target"
        return
    fi
    awk -v l="$label" -v a="$a" -v b="$b" -v t="$target" 'BEGIN {
        r = a / b
        printf "| %s | %.0f ms / %.0f ms = %.2fx | <= %sx | %s |\n", l, a * 1000, b * 1000, r, t,
            (r <= t ? "met" : "NOT met")
    }'
}

memory_line() {
    local label=$1 kb=$2 bytes=$3 target=$4
    [ -n "$kb" ] || { printf '| %s | n/a | | |\n' "$label"; return; }
    awk -v l="$label" -v kb="$kb" -v size="$bytes" -v t="$target" 'BEGIN {
        r = kb * 1024 / size
        printf "| %s | %d kB | %.2fx | %s |\n", l, kb, r, (t == "" ? "" : (r < t ? "met" : "NOT met"))
    }'
}

for n in "${sizes[@]}"; do
    out="$out_root/vcard-$n"
    mkdir -p "$out" || exit 2
    book="$data/book-$n.qxd"
    native="$data/book-$n.abook"
    vcf="$out/book-$n.vcf"
    summary="$out_root/vcard-summary-$n.md"

    "$tool" export --vcard "$book" "$vcf" >/dev/null || { echo "export --vcard failed" >&2; exit 2; }
    vcf_bytes=$(stat -c %s "$vcf")
    cards=$(grep -c '^BEGIN:VCARD' "$vcf")
    echo "== $n contacts: $vcf ($vcf_bytes bytes, $cards cards)"

    # What each program makes of the same contacts.
    imported=$("$tool" import --vcard "$vcf" "$out/import.qxd" | head -c 300)
    abook --convert --informat vcard --infile "$vcf" --outformat abook \
        --outfile "$out/abook-check.abook"
    abook_in=$(grep -c '^\[[0-9][0-9]*\]$' "$out/abook-check.abook")
    abook --convert --informat abook --infile "$native" --outformat vcard \
        --outfile "$out/abook-check.vcf"
    abook_out=$(grep -c '^BEGIN:VCARD' "$out/abook-check.vcf")
    echo "quillbox-tool: $imported"
    echo "abook: $abook_in contacts from the vCard file, $abook_out cards from book-$n.abook"

    q_tool=$(quote "$tool")
    times="$out_root/vcard-hyperfine-$n.csv"
    hyperfine --warmup "$warmup" --runs "$runs" -N --ignore-failure \
        --prepare "rm -f $(quote "$out/abook-out.abook") $(quote "$out/abook-out.vcf")" \
        --export-markdown "$out_root/vcard-hyperfine-$n.md" --export-csv "$times" \
        -n "import --vcard" "$q_tool import --vcard $(quote "$vcf") $(quote "$out/import.qxd")" \
        -n "export --vcard" "$q_tool export --vcard $(quote "$book") $(quote "$out/export.vcf")" \
        -n "export --vcard 4.0" \
        "$q_tool export --vcard --vcard-version 4.0 $(quote "$book") $(quote "$out/export4.vcf")" \
        -n "abook vcard->native" \
        "abook --convert --informat vcard --infile $(quote "$vcf") --outformat abook --outfile $(quote "$out/abook-out.abook")" \
        -n "abook native->vcard" \
        "abook --convert --informat abook --infile $(quote "$native") --outformat vcard --outfile $(quote "$out/abook-out.vcf")"

    rm -f "$out/abook-out.abook" "$out/abook-out.vcf"
    kb_import=$(peak_kb "$tool" import --vcard "$vcf" "$out/import.qxd")
    kb_export=$(peak_kb "$tool" export --vcard "$book" "$out/export.vcf")
    kb_abook_in=$(peak_kb abook --convert --informat vcard --infile "$vcf" --outformat abook \
        --outfile "$out/abook-out.abook")
    kb_abook_out=$(peak_kb abook --convert --informat abook --infile "$native" --outformat vcard \
        --outfile "$out/abook-out.vcf")

    {
        echo "## vCard, $n contacts"
        echo
        echo "vCard file: $vcf_bytes bytes, $cards cards. quillbox-tool: $imported"
        echo "abook: $abook_in contacts from the vCard file, $abook_out cards from book-$n.abook."
        echo
        echo "| Ratio of the fastest runs | Figures | Target | |"
        echo "|---|---|---|---|"
        ratio_line "import --vcard / abook vcard->native" "$(fastest_of "$times" "import --vcard")" \
            "$(fastest_of "$times" "abook vcard->native")" 2
        ratio_line "export --vcard / abook native->vcard" "$(fastest_of "$times" "export --vcard")" \
            "$(fastest_of "$times" "abook native->vcard")" 2
        ratio_line "export --vcard 4.0 / abook native->vcard" \
            "$(fastest_of "$times" "export --vcard 4.0")" "$(fastest_of "$times" "abook native->vcard")" 2
        echo
        echo "| Peak memory (max RSS) | | / vCard file | Target < 4x |"
        echo "|---|---|---|---|"
        memory_line "import --vcard" "$kb_import" "$vcf_bytes" 4
        memory_line "export --vcard" "$kb_export" "$vcf_bytes" 4
        memory_line "abook vcard->native" "$kb_abook_in" "$vcf_bytes" ""
        memory_line "abook native->vcard" "$kb_abook_out" "$vcf_bytes" ""
    } >"$summary"

    echo
    cat "$out_root/vcard-hyperfine-$n.md"
    echo
    cat "$summary"
    echo
done
exit 0
