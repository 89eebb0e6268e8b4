#!/bin/sh
# The grant step of ELEVHELP.exe, run as root for real accounts: a granted
# account may save settings (the store is replaced by a rename), again and
# again, and so may a second granted account after the first one's
# replacement; an account never granted may not.
#   elevhelp_test.sh DRIVER ELEVHELP INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
elevhelp=$2
. "$3"

command -v setfacl >/dev/null || { echo "needs setfacl: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
carol=zlvd$$
dave=zlve$$
eve=zlvf$$
add_accounts "$carol" "$dave" "$eve"
cp "$driver" "$work/driver"
store=$work/etc/machine.reg
zelvo_default_path_user "$store" /var/lib/zelvo

# save ACCOUNT STORE ADMCONF: the driver saves "AdmConf" as that account
save() {
    runuser -u "$1" -- env ZELVO_MACHINE_STORE="$2" "$work/driver" save-settings "$3" 2>/dev/null
}

save "$carol" "$store" "1|1|1|1" && fail "carol saves before the grant"
"$elevhelp" --grant "$carol" "$store" || fail "grant to carol"
"$elevhelp" --grant "$dave" "$store" || fail "grant to dave"
save "$carol" "$store" "7|2|2|2" || fail "carol saves"
save "$dave" "$store" "8|2|2|2" || fail "dave saves after carol's replacement"
save "$carol" "$store" "9|2|2|2" || fail "carol saves after dave's replacement"
save "$eve" "$store" "6|6|6|6" && fail "eve, never granted, saves"
grep -q '^"AdmConf"="9|2|2|2"$' "$store" || fail "the last save is in the store: $(cat "$store")"
grep -q '^"PathUser"="/var/lib/zelvo"$' "$store" || fail "the class folder stays in the store"
for account in "$carol" "$dave"; do
    getfacl -p "$store" | grep -q "^user:$account:rw-\$" || fail "$account's ACL: $(getfacl -p "$store")"
done
[ -z "$(find "$store" -perm -0002)" ] || fail "the store is writable by everyone"
[ -z "$(find "$work/etc" -name 'machine.reg?*')" ] || fail "temporary files left: $(ls -a "$work/etc")"

# A store that does not exist yet is created by the grant.
fresh=$work/fresh/machine.reg
"$elevhelp" --grant "$carol" "$fresh" || fail "grant on a missing store"
save "$carol" "$fresh" "5|2|2|2" || fail "carol saves into the new store"
save "$dave" "$fresh" "5|2|2|2" && fail "dave was not granted the new store"
runuser -u "$carol" -- "$elevhelp" --grant "$carol" "$fresh" 2>/dev/null && fail "the grant step runs as root only"
echo "ELEVHELP.exe grant: ok"
