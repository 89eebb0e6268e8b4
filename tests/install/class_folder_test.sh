#!/bin/sh
# Two real accounts of the group share a class folder set up as the package
# sets it up: the first creates a pupil and finishes an exercise, the second
# logs in as that pupil and finishes another, and both results and both
# totals are there.
# Then the first finishes one more for a pupil the second created, over the
# files the second account wrote. An account outside the group changes
# nothing. Every step runs under a strict umask.
#   class_folder_test.sh DRIVER INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
driver=$1
. "$2"

. "$(dirname "$0")/test_accounts.sh"
test_group=zlvg$$
first=zlva$$
second=zlvb$$
outsider=zlvc$$
add_accounts "$first" "$second"
add_account_with_shell /usr/sbin/nologin "$outsider"
zelvo_class_folder "$work/class" "$test_group"
# The administrator puts the two accounts in the group on purpose (as for
# teachers who reach the folder directly); the package adds nobody.
usermod -a -G "$test_group" "$first"
usermod -a -G "$test_group" "$second"
[ "$(stat -c '%U:%G %a' "$work/class")" = "root:$test_group 2770" ] ||
    fail "the class folder: $(stat -c '%U:%G %a' "$work/class")"
zelvo_default_path_user "$work/etc/machine.reg" "$work/class"
cp "$driver" "$work/driver"

# as ACCOUNT ARGS...: the driver run by that account with umask 077
as() {
    account=$1
    shift
    runuser -u "$account" -- env ZELVO_MACHINE_STORE="$work/etc/machine.reg" \
        sh -c 'umask 077; exec "$0" "$@"' "$work/driver" "$@"
}

as "$first" new anna secret "Анна Петрова" || fail "the first account creates anna"
as "$first" finish anna secret 10 60 1 || fail "the first account finishes an exercise"
as "$second" finish anna wrong 5 5 0 && fail "a wrong password is refused"
as "$second" finish anna secret 7 30 2 || fail "the second account finishes as anna"
as "$second" new boris pass "Борис" || fail "the second account creates boris"
as "$second" finish boris pass 3 20 0 || fail "the second account finishes as boris"
as "$first" finish boris pass 4 40 1 || fail "the first account finishes as boris"
as "$outsider" new vera v "Вера" && fail "an account outside the group creates no pupil"
[ ! -e "$work/class/vera.zamrik" ] || fail "the outsider's pupil is there"
as "$outsider" finish anna secret 50 5 0 && fail "an account outside the group adds no result"
as "$outsider" show anna >/dev/null 2>&1 && fail "an account outside the group reads a pupil"
runuser -u "$outsider" -- flock -s "$work/class/.zelvo.lock" true 2>/dev/null &&
    fail "an account outside the group holds the folder's lock"

expected="totals 90 17
record anna 10 1
record anna 7 2
record boris 3 0
record boris 4 1"
shown=$(as "$first" show anna)
[ "$shown" = "$expected" ] || fail "anna as the first account sees:
$shown"
expected_boris=$(printf '%s\n' "$expected" | sed 's/^totals .*/totals 60 7/')
shown=$(as "$second" show boris)
[ "$shown" = "$expected_boris" ] || fail "boris as the second account sees:
$shown"

wrong=$(find "$work/class" -mindepth 1 \( ! -group "$test_group" -o ! -perm -0660 -o -perm -0002 \))
[ -z "$wrong" ] || fail "files not shared with the group alone:
$(ls -l "$work/class")"
# The others get no more from a file than from the folder itself.
folder_others=$(( $(stat -c %a "$work/class") % 10 ))
for file in "$work/class"/* "$work/class"/.zelvo.lock; do
    [ $(( $(stat -c %a "$file") % 10 & ~folder_others )) -eq 0 ] ||
        fail "$file gives the others more than the folder: $(ls -l "$file")"
done
echo "two accounts share the class folder: ok"
