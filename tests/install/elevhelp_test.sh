#!/bin/sh
# The grant step of ELEVHELP.exe, run as root for real accounts as pkexec,
# sudo and root itself start it: a granted account may save settings (the
# store is replaced by a rename), again and again, and so may a second
# granted account after the first one's replacement; an account never
# granted may not. The store is the one ELEVHELP.exe was configured with.
#   elevhelp_test.sh DRIVER ELEVHELP_ANY_STORE INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
template=$2
. "$3"

command -v setfacl >/dev/null || { echo "needs setfacl: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
carol=zlvd$$
dave=zlve$$
eve=zlvf$$
frank=zlvh$$
add_accounts "$carol" "$dave" "$eve" "$frank"
cp "$driver" "$work/driver"
store=$work/etc/machine.reg
elevhelp=$work/ELEVHELP.exe
elevhelp_for "$template" "$store" "$elevhelp"
zelvo_default_path_user "$store" /var/lib/zelvo

# save ACCOUNT STORE ADMCONF: the driver saves "AdmConf" as that account
save() {
    runuser -u "$1" -- env ZELVO_MACHINE_STORE="$2" "$work/driver" save-settings "$3" 2>/dev/null
}

save "$carol" "$store" "1|1|1|1" && fail "carol saves before the grant"
"$elevhelp" --grant "$carol" || fail "grant to carol by root"
env PKEXEC_UID="$(id -u "$dave")" "$elevhelp" --grant || fail "grant to dave, who called pkexec"
env SUDO_UID="$(id -u "$eve")" "$elevhelp" --grant "$frank" || fail "grant to frank, named under sudo"
save "$carol" "$store" "7|2|2|2" || fail "carol saves"
save "$dave" "$store" "8|2|2|2" || fail "dave saves after carol's replacement"
save "$frank" "$store" "4|2|2|2" || fail "frank saves after dave's replacement"
save "$carol" "$store" "9|2|2|2" || fail "carol saves after frank's replacement"
save "$eve" "$store" "6|6|6|6" && fail "eve, never granted, saves"
grep -q '^"AdmConf"="9|2|2|2"$' "$store" || fail "the last save is in the store: $(cat "$store")"
grep -q '^"PathUser"="/var/lib/zelvo"$' "$store" || fail "the class folder stays in the store"
for account in "$carol" "$dave" "$frank"; do
    getfacl -p "$store" | grep -q "^user:$account:rw-\$" || fail "$account's ACL: $(getfacl -p "$store")"
done
getfacl -p "$store" "$work/etc" | grep -q "$eve" && fail "eve got an ACL entry: $(getfacl -p "$store" "$work/etc")"
[ -z "$(find "$store" -perm -0002)" ] || fail "the store is writable by everyone"
[ -z "$(find "$work/etc" -mindepth 1 ! -name machine.reg)" ] || fail "files left: $(ls -a "$work/etc")"
# The folder is open again for the granted accounts, and root's.
[ "$(stat -c '%u %a' "$work/etc")" = "0 775" ] || fail "the store's folder: $(stat -c '%U %a' "$work/etc")"
getfacl -p "$work/etc" | grep -q '^mask::rwx$' || fail "the folder's mask: $(getfacl -p "$work/etc")"

# The package's configure step after the grants: the store, replaced by
# root, keeps every granted account's access.
sed -i '/"PathUser"/d' "$store"
zelvo_default_path_user "$store" /var/lib/zelvo
grep -q '^"PathUser"="/var/lib/zelvo"$' "$store" || fail "PathUser set again"
save "$dave" "$store" "3|2|2|2" || fail "dave saves after the configure step"
# A store lost (a granted account may delete it) is created anew by the
# configure step, writable at once by the accounts granted.
rm "$store"
zelvo_default_path_user "$store" /var/lib/zelvo
save "$carol" "$store" "2|2|2|2" || fail "carol saves into the store made anew"
save "$eve" "$store" "6|6|6|6" && fail "eve saves into the store made anew"

# A store that does not exist yet is created by the grant, in a folder that
# does not exist yet.
fresh=$work/fresh/machine.reg
elevhelp_for "$template" "$fresh" "$work/ELEVHELP-fresh.exe"
"$work/ELEVHELP-fresh.exe" --grant "$carol" || fail "grant on a missing store"
[ "$(stat -c '%u %a' "$work/fresh")" = "0 775" ] || fail "the new folder: $(stat -c '%U %a' "$work/fresh")"
save "$carol" "$fresh" "5|2|2|2" || fail "carol saves into the new store"
save "$dave" "$fresh" "5|2|2|2" && fail "dave was not granted the new store"
runuser -u "$carol" -- "$work/ELEVHELP-fresh.exe" --grant "$carol" 2>/dev/null && fail "the grant step runs as root only"
"$elevhelp" --grant 2>/dev/null && fail "root names no account"
"$elevhelp" --grant "nobody$$" 2>/dev/null && fail "an account that does not exist"
echo "ELEVHELP.exe grant: ok"
