#!/bin/sh
# The teacher's export run as root writes its output file in a folder that
# every account may write (sticky, world-writable, like /tmp) where a pupil has
# planted links and files of her own. A link is never followed: the file it
# points to stays as it was and a missing one is never created; a name that
# belongs to another account (a link or a file) is refused with exit status 2;
# an output written normally is root's, its mode from the umask.
#   export_output_test.sh ZELVO_EXPORT     (root; exit 77 = skipped)
set -eu
program=$1

. "$(dirname "$0")/test_accounts.sh"
pupil=zlvo$$
add_accounts "$pupil"

class=$work/class
mkdir "$class"
chmod 0755 "$class"
shared=$work/tmp
mkdir "$shared"
chmod 1777 "$shared"
mkdir "$work/etc"
chmod 0755 "$work/etc"
printf 'root data\n' >"$work/etc/ld.so.preload"
chmod 0644 "$work/etc/ld.so.preload"
cp "$work/etc/ld.so.preload" "$work/preload.orig"
missing=$work/etc/created-by-the-export

# The pupil's preparations, under her own account.
runuser -u "$pupil" -- sh -c "
    ln -s '$work/etc/ld.so.preload' '$shared/class.html'
    ln -s '$missing' '$shared/new.csv'
    printf 'mine\n' >'$shared/theirs.csv'
    chmod 0666 '$shared/theirs.csv'"
[ -L "$shared/class.html" ] && [ -L "$shared/new.csv" ] || fail "the pupil's links are not there"

# export OUTPUT: the summary of the class into OUTPUT, as root with umask 077
export_to() {
    (umask 077 && exec "$program" summary --folder "$class" --output "$1") 2>"$work/err"
}
root_files_untouched() {
    cmp -s "$work/etc/ld.so.preload" "$work/preload.orig" || fail "$1: the link's target changed"
    [ ! -e "$missing" ] && [ ! -L "$missing" ] || fail "$1: the link's missing target was created"
}

for name in class.html new.csv theirs.csv; do
    status=0
    export_to "$shared/$name" || status=$?
    [ "$status" -eq 2 ] || fail "$name: exit status $status, not 2: $(cat "$work/err")"
    grep -qF "the output file belongs to another account, choose another name: $shared/$name" \
        "$work/err" || fail "$name: the message does not say why: $(cat "$work/err")"
    root_files_untouched "$name"
done
[ -L "$shared/class.html" ] && [ -L "$shared/new.csv" ] || fail "the pupil's links were replaced"
[ "$(cat "$shared/theirs.csv")" = mine ] || fail "the pupil's file was written"

# A link of root's own in that folder is replaced as a name, never followed.
ln -s "$work/etc/ld.so.preload" "$shared/own.csv"
ln -s "$missing" "$shared/own-new.csv"
for name in own.csv own-new.csv mine.csv; do
    export_to "$shared/$name" || fail "$name: $(cat "$work/err")"
    [ -f "$shared/$name" ] && [ ! -L "$shared/$name" ] || fail "$name: not a regular file"
    [ "$(stat -c '%u %a' "$shared/$name")" = "0 600" ] ||
        fail "$name: owner and mode $(stat -c '%u %a' "$shared/$name"), not 0 600"
    head -n 1 "$shared/$name" | grep -q '^"НИК";"ФИО";' || fail "$name: not the summary"
    root_files_untouched "$name"
done

# A file of root's that the pupil could write gives the new output nothing of
# its mode; the umask decides.
chmod 0666 "$shared/mine.csv"
(umask 022 && exec "$program" summary --folder "$class" --output "$shared/mine.csv") ||
    fail "mine.csv again"
[ "$(stat -c '%u %a' "$shared/mine.csv")" = "0 644" ] ||
    fail "mine.csv kept its old mode: $(stat -c '%a' "$shared/mine.csv")"

left=$(find "$shared" -name '.zelvo-*')
[ -z "$left" ] || fail "temporary files left: $left"
echo "export output: all checks passed"
