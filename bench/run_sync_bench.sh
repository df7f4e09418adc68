#!/usr/bin/env bash
# Times a first sync of N contacts with a CardDAV server, both ways, beside
# the raw transfer floor: curl fetching the same cards with one
# addressbook-multiget REPORT.  Starts its own Radicale (storage in memory
# where the machine has /dev/shm) and stops it afterwards.  Figures are
# reported, not asserted; the script fails only on usage errors or when a
# sync does not move every card.
#
#   bench/run_sync_bench.sh TOOL DATA_DIR [N [UP_N]]
#
#   TOOL      path to quillbox-tool (e.g. build-bench/tools/quillbox-tool)
#   DATA_DIR  folder with book-N.qxd and book-UP_N.qxd (quillbox_generate_books)
#   N         contacts of the down sync; default 10000
#   UP_N      entries of the up sync; default N
#
# down:  an empty book synced with an address book of the N cards of
#        book-N.qxd (exported to vCard and written straight into the
#        server's storage, untimed);
# floor: one REPORT naming every card of that address book, its answer
#        (the cards' text) written to /dev/null;
# up:    a copy of book-UP_N.qxd, not yet linked, synced into an empty
#        address book (made again before every run).  Radicale's PUT costs
#        more the more cards the address book holds, so this is mostly the
#        server's time; UP_N below N keeps the run short.
#
# With WINDOW_BENCH set to quillbox_sync_window_bench, the down sync also
# runs once through the window (offscreen), with the longest stall of its
# event loop.
#
# Environment: OUT_DIR (default bench/out) receives sync-hyperfine-N.csv and
# sync-summary-N.md; RUNS (default 5) sets hyperfine's runs of the down sync
# and the floor (the fastest is compared), UP_RUNS (default 3) those of the
# up sync.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=bench_common.sh
. "$here/bench_common.sh"
[ $# -ge 2 ] || { echo "usage: $0 TOOL DATA_DIR [N]" >&2; exit 2; }
tool=$1
data=$2
n=${3:-10000}
up_n=${4:-$n}
runs=${RUNS:-5}
up_runs=${UP_RUNS:-3}
out_root=${OUT_DIR:-$here/out}
[ -x "$tool" ] || { echo "not an executable: $tool" >&2; exit 2; }
for size in "$n" "$up_n"; do
    [ -f "$data/book-$size.qxd" ] || { echo "missing $data/book-$size.qxd (run quillbox_generate_books $size)" >&2; exit 2; }
done
for program in hyperfine curl radicale awk; do
    command -v "$program" >/dev/null || { echo "$program is not installed" >&2; exit 2; }
done
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
book=$(cd "$data" && pwd)/book-$n.qxd
up_book=$(cd "$data" && pwd)/book-$up_n.qxd
out="$out_root/sync-$n"
mkdir -p "$out" || exit 2

. "$root/tests/carddav/radicale_session.sh"
start_radicale_session || { echo "Radicale did not start" >&2; exit 2; }
export QUILLBOX_PASSWORD=$QUILLBOX_CARDDAV_PASSWORD
user=$QUILLBOX_CARDDAV_USER
collection="${QUILLBOX_CARDDAV_URL}$user/bench/"
up_collection="${QUILLBOX_CARDDAV_URL}$user/up/"

# curl reads the account from a private file, not from its command line.
curlrc="$QUILLBOX_CARDDAV_DIR/curlrc"
(umask 077 && printf 'user = "%s:%s"\nsilent\n' "$user" "$QUILLBOX_PASSWORD" >"$curlrc")
cat >"$out/mkcol.xml" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<D:mkcol xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">
 <D:set><D:prop>
  <D:resourcetype><D:collection/><C:addressbook/></D:resourcetype>
  <D:displayname>Bench</D:displayname>
 </D:prop></D:set>
</D:mkcol>
XML
cat >"$out/reset.sh" <<SH
#!/usr/bin/env bash
# An empty address book and an unlinked copy of the book for the next up run.
curl -K '$curlrc' -X DELETE '$up_collection' -o /dev/null
curl -K '$curlrc' -f -X MKCOL -H 'Content-Type: application/xml' --data-binary @'$out/mkcol.xml' '$up_collection' -o /dev/null
cp '$up_book' '$out/up.qxd'
SH
cat >"$out/empty.sh" <<SH
#!/usr/bin/env bash
: >'$out/down.qxd'
SH
chmod +x "$out/reset.sh" "$out/empty.sh"

times="$out_root/sync-hyperfine-$n.csv"

# The number of cards in the address book at URL $1, as its listing names them.
card_count() {
    curl -K "$curlrc" -X PROPFIND -H 'Depth: 1' "$1" | grep -o '\.vcf</' | wc -l
}

# The address book of the down sync: the cards written into the server's
# storage, one file each, as Radicale keeps them.
"$tool" export --vcard "$book" "$out/book.vcf" >/dev/null || { echo "export --vcard failed" >&2; exit 2; }
curl -K "$curlrc" -f -X MKCOL -H 'Content-Type: application/xml' --data-binary @"$out/mkcol.xml" \
    "$collection" -o /dev/null || { echo "MKCOL failed" >&2; exit 2; }
storage="$QUILLBOX_CARDDAV_DIR/collections/collection-root/$user/bench"
awk -v dir="$storage" '/^BEGIN:VCARD/ { f = sprintf("%s/card-%06d.vcf", dir, ++count) }
    { print > f } /^END:VCARD/ { close(f) }' "$out/book.vcf"
cards=$(card_count "$collection")
echo "== the server's address book: $cards cards"
[ "$cards" -eq "$n" ] || { echo "the server holds $cards cards, not $n" >&2; exit 1; }

# The floor: one addressbook-multiget of every card's href.
{
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo '<C:addressbook-multiget xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">'
    echo '<D:prop><D:getetag/><C:address-data/></D:prop>'
    curl -K "$curlrc" -X PROPFIND -H 'Depth: 1' "$collection" |
        grep -oE '<([A-Za-z0-9]+:)?href>[^<]*\.vcf</' | sed -E 's/<([A-Za-z0-9]+:)?href>/<D:href>/; s/<\/$/<\/D:href>/'
    echo '</C:addressbook-multiget>'
} >"$out/multiget.xml"
curl -K "$curlrc" -X REPORT -H 'Depth: 1' -H 'Content-Type: application/xml' \
    --data-binary @"$out/multiget.xml" "$collection" -o "$out/multiget-answer.xml"
fetched=$(grep -c 'BEGIN:VCARD' "$out/multiget-answer.xml")
echo "floor: one REPORT of $(stat -c %s "$out/multiget-answer.xml") bytes, $fetched cards"

hyperfine --runs "$runs" --export-csv "$out/floor.csv" \
    -n "curl multiget" "curl -K '$curlrc' -X REPORT -H 'Depth: 1' -H 'Content-Type: application/xml' --data-binary @'$out/multiget.xml' '$collection' -o /dev/null" ||
    exit 2
echo "== down: $collection into an empty book"
hyperfine --runs "$runs" --prepare "$out/empty.sh" --export-csv "$out/down.csv" \
    -n "sync down" "'$tool' sync --url '$collection' --user '$user' '$out/down.qxd'" || exit 2
received=$(grep -c '^contact(' "$out/down.qxd")
echo "the book holds $received entries after the down sync"
[ "$received" -eq "$n" ] || { echo "the book holds $received entries, not $n" >&2; exit 1; }

echo "== up: $up_n entries of $up_book into $up_collection"
hyperfine --runs "$up_runs" --prepare "$out/reset.sh" --export-csv "$out/up.csv" \
    -n "sync up" "'$tool' sync --url '$up_collection' --user '$user' '$out/up.qxd'" || exit 2
sent=$(card_count "$up_collection")
echo "the server holds $sent cards after the up sync"
[ "$sent" -eq "$up_n" ] || { echo "the server holds $sent cards, not $up_n" >&2; exit 1; }

window=""
if [ -n "${WINDOW_BENCH:-}" ]; then
    echo "== down through the window"
    : >"$out/window.qxd"
    window=$(QT_QPA_PLATFORM=offscreen "$WINDOW_BENCH" "$out/window.qxd" "$collection" "$user") ||
        { echo "$window"; echo "the window sync failed" >&2; exit 1; }
    echo "$window"
fi

{
    head -1 "$out/up.csv"
    tail -n +2 "$out/up.csv"
    tail -n +2 "$out/down.csv"
    tail -n +2 "$out/floor.csv"
} >"$times"
{
    echo "## Sync, $n contacts down, $up_n up"
    echo
    echo "| Fastest run | Contacts | Time | Per contact |"
    echo "|---|---|---|---|"
    for name in "sync down" "curl multiget" "sync up"; do
        count=$n
        [ "$name" = "sync up" ] && count=$up_n
        awk -v l="$name" -v c="$count" -v t="$(fastest_of "$times" "$name")" \
            'BEGIN { printf "| %s | %d | %.0f ms | %.2f ms |\n", l, c, t * 1000, t * 1000 / c }'
    done
    echo
    down=$(fastest_of "$times" "sync down")
    floor=$(fastest_of "$times" "curl multiget")
    awk -v a="$down" -v b="$floor" 'BEGIN {
        r = a / b
        printf "sync down / curl multiget: %.2fx (target <= 3x: %s)\n", r, (r <= 3 ? "met" : "NOT met")
    }'
    if [ -n "$window" ]; then
        echo
        echo "Down through the window (one run):"
        echo
        echo "$window" | sed 's/^/    /'
    fi
} >"$out_root/sync-summary-$n.md"
echo
cat "$out_root/sync-summary-$n.md"
exit 0
