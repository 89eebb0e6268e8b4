#!/bin/sh
# The administrator fails closed: a store that a pupil's account cannot read
# (its mode) keeps ADM out for that account, where an empty password would
# otherwise let it in; only a missing store is a first start. The program
# reads no store but the one it was built with when that seam is off (the
# package's build), which the test platform_fixed_store covers.
#   store_closed_test.sh DRIVER     (root; exit 77 = skipped)
set -eu
driver=$1

. "$(dirname "$0")/test_accounts.sh"
pupil=zlvs$$
add_accounts "$pupil"
cp "$driver" "$work/driver"
mkdir "$work/etc"
store=$work/etc/machine.reg

adm_login() {
    runuser -u "$pupil" -- env ZELVO_MACHINE_STORE="$store" "$work/driver" adm-login "$1"
}

# No store: the first start, ADM with the empty password.
adm_login "" || fail "no store: ADM refused"

# A store with a password that the pupil may not read.
ZELVO_MACHINE_STORE="$store" "$work/driver" save-settings "5|2|2|2"
printf '[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n"MyPass"="-1 -2 -3 -4"\n' >>"$store"
chmod 0600 "$store"
if adm_login "" 2>"$work/err"; then
    fail "an unreadable store let ADM in with the empty password"
fi
grep -q "cannot be read" "$work/err" || fail "refused otherwise: $(cat "$work/err")"

# Readable again: the stored password counts, the empty one does not.
chmod 0644 "$store"
if adm_login "" 2>/dev/null; then
    fail "the empty password passed against a stored one"
fi
echo "ok"
