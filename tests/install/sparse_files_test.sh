#!/bin/sh
# Sizes that add up: one pupil's account plants legacy tables in the class
# folder, another account's program starts next. Twenty sparse legacy tables
# of the largest size a table may have cost the start nothing (a sparse file
# is no table: the conversion refuses it, nothing is copied); twenty whole
# ones together beyond the conversion's budget of 64 MiB are converted a
# budget per start, the rest by the starts after.
#   sparse_files_test.sh DRIVER INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
driver=$1
. "$2"

. "$(dirname "$0")/test_accounts.sh"
class_of_two "$driver"

legacy_record=776
converted_record=780
max_records=1048576 # the records limit of a table
budget=$((64 * 1024 * 1024))

used_kib() { du -sk "$class" | cut -f1; }
count() { find "$class" -maxdepth 1 -type f -name "$1" | wc -l; }
# The total size of the converted tables, in bytes.
converted_bytes() {
    find "$class" -maxdepth 1 -type f -name '*.config' -printf '%s\n' | awk '{ t += $1 } END { print t + 0 }'
}
# records NICK COUNT SIZE: COUNT records of SIZE bytes, each the nick as a
# short string followed by zero bytes (a legacy record with size 776; the
# converted one, its errors 0, with size 780).
records() {
    perl -e 'my $r = pack("C/a*", $ARGV[0]); $r .= "\0" x ($ARGV[2] - length $r); print $r x $ARGV[1]' "$@"
}

# 1. Twenty sparse legacy tables of the largest size taken (the records
#    limit), some 16 GB together and no disk space: the start refuses the
#    first with its read error and writes nothing.
i=1
while [ $i -le 20 ]; do
    attack "truncate -s $((max_records * legacy_record)) s$i.conf && chmod 0660 s$i.conf"
    i=$((i + 1))
done
before=$(used_kib)
for run in 1 2; do
    if as "$victim" convert 2>"$work/err"; then
        fail "start $run converted sparse tables"
    fi
    grep -qF "I/O error 75" "$work/err" || fail "start $run failed otherwise: $(cat "$work/err")"
done
after=$(used_kib)
[ $(((after - before) * 1024)) -lt 100000000 ] || fail "the starts wrote $((after - before)) KiB"
[ "$(count 's*.conf')" -eq 20 ] || fail "sparse legacy tables gone: $(ls "$class")"
[ "$(count '*.config')" -eq 0 ] || fail "tables converted from sparse files: $(ls "$class")"
attack "rm s*.conf"

# 2. Twenty whole legacy tables of 6000 records (4.7 MB each, 94 MB
#    together): the first start converts what fits in the budget, the rest
#    stays untouched for the next starts.
per_table=6000
i=10
while [ $i -lt 30 ]; do
    records "pupil$i" $per_table $legacy_record >"$work/planted"
    attack "cat '$work/planted' >p$i.conf && chmod 0660 p$i.conf"
    i=$((i + 1))
done
records "pupil10" 1 $legacy_record >"$work/one-legacy"
fits=$((budget / (per_table * converted_record)))
as "$victim" convert || fail "the first start"
written=$(converted_bytes)
[ "$written" -le "$budget" ] || fail "the first start wrote $written bytes"
[ "$(count '*.config')" -eq "$fits" ] || fail "the first start converted $(count '*.config') tables, not $fits"
[ "$(count 'p*.conf')" -eq $((20 - fits)) ] || fail "legacy tables left: $(count 'p*.conf')"
for left in "$class"/p*.conf; do
    name=$(basename "$left" .conf)
    records "pupil${name#p}" $per_table $legacy_record | cmp -s - "$left" || fail "$left changed"
done
starts=1
while [ "$(count 'p*.conf')" -gt 0 ]; do
    starts=$((starts + 1))
    [ $starts -le 3 ] || fail "legacy tables left after three starts: $(ls "$class")"
    as "$victim" convert || fail "start $starts"
    [ $(($(converted_bytes) - written)) -le "$budget" ] || fail "start $starts wrote too much"
    written=$(converted_bytes)
done
[ "$(count '*.config')" -eq 20 ] || fail "converted: $(ls "$class")"
[ "$written" -eq $((20 * per_table * converted_record)) ] || fail "converted tables of $written bytes"
records pupil17 $per_table $converted_record | cmp -s - "$class/p17.config" || fail "p17.config is not its legacy table converted"
echo "sparse legacy tables refused, the conversion bounded per start: ok"
