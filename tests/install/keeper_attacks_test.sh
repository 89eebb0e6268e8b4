#!/bin/sh
# The class folder's keeper, installed setgid to the folder's group, used by
# two pupils whose accounts are in no group: each reaches the folder only
# through the keeper and its password checks. By hand (cat, ls) they reach
# nothing there, not the lock and not the store's digest; through requests
# written by hand, a pupil who did not log in, or gave a wrong password, or
# names another pupil, is refused and changes nothing.
#   keeper_attacks_test.sh KEEPER CLIENT INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
keeper=$1
client=$2
. "$3"

. "$(dirname "$0")/test_accounts.sh"
test_group=zlvk$$
first=zlvf$$
second=zlvg$$
add_accounts "$first" "$second"
class=$work/class
store=$work/etc/machine.reg
zelvo_class_folder "$class" "$test_group"
zelvo_default_path_user "$store" "$class"
# The store may hold ADM's digest: the keeper's group reads it, pupils do not.
chgrp "$test_group" "$store"
chmod 0640 "$store"
cp "$keeper" "$work/zelvo-keeper"
chown root:"$test_group" "$work/zelvo-keeper"
chmod 2755 "$work/zelvo-keeper"
cp "$client" "$work/client"

# ask ACCOUNT REQUEST...: the answers of one keeper session of that account
ask() {
    account=$1
    shift
    runuser -u "$account" -- env ZELVO_MACHINE_STORE="$store" "$work/client" "$work/zelvo-keeper" "$@"
}
# expect ACCOUNT "ANSWER LINES" REQUEST...: the session's answers, one per line
expect() {
    account=$1
    want=$2
    shift 2
    got=$(ask "$account" "$@") || fail "$*: the session ended early: $got"
    [ "$got" = "$want" ] || fail "$account: $*
  wanted: $want
  got:    $got"
}
fingerprint() {
    (cd "$class" && find . -mindepth 1 -printf '%p %m %s\n' | sort && cat ./* 2>/dev/null | sha256sum)
}

# Outcomes: create Done 2, Exists 0; login Done 3, WrongPassword 2, NoProfile 0;
# totals Saved 2; password Done 4, WrongPassword 0.
expect "$first" "ok 1 
ok 2 
ok 3 Анна 0 0
ok 0 
ok 2 Анна 60 10
ok 1  row:anna:Анна:10" \
    hello "create anna a1 Анна" "login anna a1" "append 20 150 10 0 11-12-2026" "totals 60 10" \
    "table 20"

# By hand the second pupil reaches nothing of the folder or the store.
for path in "$class" "$class/anna.zamrik" "$class/20record.config" "$class/.zelvo.lock" "$store"; do
    if runuser -u "$second" -- sh -c "exec 3<'$path'; ls '$path'" >/dev/null 2>&1; then
        fail "the second pupil opens $path by hand"
    fi
done

# Through the keeper, without anna's password, the second pupil changes nothing.
before=$(fingerprint)
expect "$second" "refused 0 
refused 0 
refused 0 
refused 0 
ok 2 
refused 0 
refused 0 
refused 0 
ok 0 
ok 0 " \
    "profile anna" "append 20 1 999 0 x" "totals 60 99" "password a1 x" "login anna b1" \
    "profile anna" "reset anna" "delete anna" "create anna x Другая" "create ANNA x Другая"
[ "$(fingerprint)" = "$before" ] || fail "the refused requests changed the class folder"

# Her own pupil, in the same account as anyone: her rows carry her own name,
# whatever nick she gives, and anna's password stays anna's.
expect "$second" "ok 2 
ok 3 Борис 0 0
ok 0 
refused 0 
ok 4 
ok 3 Анна 60 10" \
    "create bob b1 Борис" "login bob b1" "append 20 100 5 0 11-12-2026" "profile anna" \
    "password b1 b2" "login anna a1"
ask "$first" "table 20" | grep -q "^ok 2  row:anna:Анна:10 row:bob:Борис:5$" ||
    fail "the table: $(ask "$first" "table 20")"

# Files the keeper makes are the folder group's, closed to others.
wrong=$(find "$class" -mindepth 1 \( ! -group "$test_group" -o -perm /0007 \))
[ -z "$wrong" ] || fail "files open to others or of another group: $(ls -la "$class")"

# A folder that is no class folder: the keeper refuses to act there.
chmod 2775 "$class"
expect "$first" "not-class 1 
not-class 0 " hello "login anna a1"
echo "ok"
