#!/bin/sh
# What other accounts of the machine may try against the steps that run as
# root on the configuration store (the grant of ELEVHELP.exe, the package's
# configure and purge steps) and against each other's saves, with real
# accounts: mallory, an account that talks the teacher into giving the
# password, carol and dave, granted accounts, and eve, never granted.
# Every attack aims at files of root's or of another account's, which must
# come out unchanged.
#   grant_attack_test.sh DRIVER ELEVHELP_ANY_STORE INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
template=$2
. "$3"

command -v setfacl >/dev/null || { echo "needs setfacl: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
carol=zlvk$$
dave=zlvl$$
eve=zlvm$$
mallory=zlvn$$
add_accounts "$carol" "$dave" "$eve" "$mallory"
cp "$driver" "$work/driver"
store=$work/etc/machine.reg
elevhelp=$work/ELEVHELP.exe
elevhelp_for "$template" "$store" "$elevhelp"
zelvo_default_path_user "$store" /var/lib/zelvo
"$elevhelp" --grant "$carol"
"$elevhelp" --grant "$dave"

# Root's files the attacks aim at, and one of dave's.
mkdir "$work/victim"
printf 'root:x:0:0:root:/root:/bin/sh\n' >"$work/victim/passwd"
chmod 0644 "$work/victim/passwd"
printf 'dave keeps this\n' >"$work/victim/daves"
chown "$dave" "$work/victim/daves"
# state: what must not change (content, owner, mode, ACL) of the victims
state() {
    for f in "$work/victim"/*; do
        printf '%s %s\n' "$(stat -c '%n %u %a %h' "$f")" "$(cksum <"$f")"
        getfacl -cp "$f" 2>/dev/null
    done
    getfacl -cp "$work/victim"
}
before=$(state)
untouched() {
    [ "$(state)" = "$before" ] || fail "$1: a victim changed:
$(state)"
    [ ! -e "$work/victim/new" ] || fail "$1: root created a file through a link"
}
# as ACCOUNT COMMAND...: runs a command as that account
as() {
    account=$1
    shift
    runuser -u "$account" -- "$@"
}
save() {
    as "$1" env ZELVO_MACHINE_STORE="$store" "$work/driver" save-settings "$2" 2>/dev/null
}
# A store as it should be, kept aside to put back between the attacks.
cp -p "$store" "$work/store.good"
getfacl -p "$store" >"$work/store.acl"
restore() {
    rm -rf "$store"
    cp -p "$work/store.good" "$store"
    setfacl --set-file="$work/store.acl" "$store"
}

# 1. The store's path from the caller. Mallory starts ELEVHELP.exe (pkexec
# here records what it was asked to run) with the store pointed at root's
# file, and the teacher gives the password: what runs as root, even with
# mallory's environment kept, grants mallory the machine's store only.
mkdir "$work/bin"
cat >"$work/bin/pkexec" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >"$work/pkexec.args"
SCRIPT
chmod 0755 "$work/bin/pkexec"
: >"$work/pkexec.args"
chown "$mallory" "$work/pkexec.args"
as "$mallory" env PATH="$work/bin:/usr/bin:/bin" ZELVO_MACHINE_STORE="$work/victim/passwd" \
    "$elevhelp" 2>/dev/null || fail "the caller's side with a pkexec"
[ "$(cat "$work/pkexec.args")" = "$elevhelp
--grant" ] || fail "pkexec was asked to run: $(cat "$work/pkexec.args")"
env ZELVO_MACHINE_STORE="$work/victim/passwd" PKEXEC_UID="$(id -u "$mallory")" \
    $(cat "$work/pkexec.args") || fail "the grant to mallory"
untouched "ZELVO_MACHINE_STORE through pkexec"
save "$mallory" "5|5|5|5" || fail "mallory saves after her grant"
restore
# Arguments that once named the store, or another account, are refused.
mallory_uid=$(id -u "$mallory")
for args in "--grant $mallory $work/victim/passwd" "--grant $eve" "--grant root" "--grant $eve $work/victim/passwd"; do
    env PKEXEC_UID="$mallory_uid" "$elevhelp" $args 2>/dev/null && fail "under pkexec: $args"
    untouched "under pkexec: $args"
done
"$elevhelp" --grant "$eve" "$work/victim/passwd" 2>/dev/null && fail "root, with a store named"
env PKEXEC_UID="x" "$elevhelp" --grant 2>/dev/null && fail "PKEXEC_UID not a number"
untouched "arguments"
save "$eve" "6|6|6|6" && fail "eve saves after the refused grants"

# 2. A granted account puts something else in the store's place; then the
# root steps run there (the grant of another account, the configure step).
# attack WHAT COMMAND...: carol runs COMMAND in the store's folder, then root
# and dave run their steps there
attack() {
    what=$1
    shift
    restore
    as "$carol" "$@" || fail "$what: carol could not set it up"
    status=0
    timeout 20 "$elevhelp" --grant "$eve" 2>/dev/null || status=$?
    [ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "$what: the grant went ahead (or hung: $status)"
    timeout 20 sh -c '. "$1"; zelvo_default_path_user "$2" /srv/elsewhere' sh "$steps" "$store" 2>/dev/null ||
        fail "$what: the configure step failed or hung"
    untouched "$what"
    getfacl -p "$work/etc" | grep -q '^mask::rwx$' || fail "$what: the folder was not opened again"
    save "$eve" "6|6|6|6" && fail "$what: eve saves"
    getfacl -p "$work/etc" | grep -q "$eve" && fail "$what: eve got an ACL entry on the folder"
    # The program of another granted account neither hangs on it nor
    # writes through it.
    timeout 20 runuser -u "$dave" -- env ZELVO_MACHINE_STORE="$store" "$work/driver" path-user >/dev/null ||
        fail "$what: the program of dave does not start"
    save "$dave" "1|1|1|1" && fail "$what: dave's save went through it"
    untouched "$what, dave's save"
}
steps=$3
attack "a link to root's file" ln -sfT "$work/victim/passwd" "$store"
attack "a link to dave's file" ln -sfT "$work/victim/daves" "$store"
attack "a link to nothing yet" ln -sfT "$work/victim/new" "$store"
attack "a pipe" sh -c 'rm -f "$1" && mkfifo -m 0666 "$1"' sh "$store"
attack "a folder" sh -c 'rm -f "$1" && mkdir "$1"' sh "$store"
# Hard links to others' files are refused to accounts by the kernel
# (fs.protected_hardlinks); root makes one as a machine without it would.
restore
rm "$store"
ln "$work/victim/passwd" "$store"
before=$(state)
"$elevhelp" --grant "$eve" 2>/dev/null && fail "the grant on a hard link"
zelvo_default_path_user "$store" /srv/elsewhere 2>/dev/null
untouched "a hard link"
rm "$store"

# While a root step works in the folder, no granted account may add, rename
# or remove an entry there. A folder left closed (a step killed) is opened
# by the next step.
restore
(
    zelvo_close_folder "$work/etc"
    as "$carol" touch "$work/etc/new" 2>/dev/null && fail "carol adds a file to the closed folder"
    as "$carol" mv "$store" "$store.old" 2>/dev/null && fail "carol renames the store in the closed folder"
    as "$carol" rm -f "$store" 2>/dev/null && fail "carol removes the store from the closed folder"
    zelvo_open_folder "$work/etc"
)
as "$carol" touch "$work/etc/new" || fail "carol cannot write in the folder opened again"
rm "$work/etc/new"
chmod g-w "$work/etc"
"$elevhelp" --grant "$carol" || fail "the grant in a folder left closed"
getfacl -p "$work/etc" | grep -q '^mask::rwx$' || fail "the folder left closed stays closed"

# Carol swaps the store for a link and back as fast as she can while the
# root steps run: they find the folder closed, or a regular file.
restore
before=$(state)
sed '/"PathUser"/d' "$work/store.good" >"$work/store.plain"
chmod 0644 "$work/store.plain"
: >"$running"
as "$carol" sh -c 'while [ -e "$4" ]; do
    ln -sfT "$1" "$3.l" 2>/dev/null && mv -fT "$3.l" "$3" 2>/dev/null
    cp "$2" "$3.f" 2>/dev/null && mv -fT "$3.f" "$3" 2>/dev/null
done' sh "$work/victim/passwd" "$work/store.plain" "$store" "$running" &
swapper=$!
i=0
while [ $i -lt 12 ]; do
    "$elevhelp" --grant "$dave" 2>/dev/null || true
    zelvo_default_path_user "$store" /srv/elsewhere 2>/dev/null || true
    # Read without following carol's links, which do lead to root's file.
    for f in "$store" "$store".??????; do
        dd if="$f" iflag=nofollow,nonblock status=none 2>/dev/null | grep -q '^root:' &&
            fail "root's file read into $f"
    done
    i=$((i + 1))
done
rm "$running"
wait "$swapper" || true
rm -f "$store.l" "$store.f"
untouched "links swapped in during the root steps"

# The store's folder and its parent: only root's own are worked in.
mkdir -m 0755 "$work/elsewhere"
ln -s "$work/elsewhere" "$work/linked"
mkdir -m 0777 "$work/open"
mkdir -m 0755 "$work/carols"
chown "$carol" "$work/carols"
for folder in "$work/linked" "$work/open/zelvo" "$work/carols"; do
    elevhelp_for "$template" "$folder/machine.reg" "$work/ELEVHELP-other.exe"
    "$work/ELEVHELP-other.exe" --grant "$eve" 2>/dev/null && fail "a grant in $folder"
    zelvo_default_path_user "$folder/machine.reg" /srv/elsewhere 2>/dev/null && fail "the configure step in $folder"
    getfacl -Rp "$work/elsewhere" "$work/open" "$work/carols" | grep -q "$eve" && fail "an ACL entry in $folder"
done
made=$(find "$work/elsewhere" "$work/open" "$work/carols" -mindepth 1)
[ -z "$made" ] || fail "files made: $made"

# Purging removes the store as it stands, a link too, never its target.
restore
as "$carol" ln -sfT "$work/victim/passwd" "$store"
as "$carol" touch "$work/etc/.zelvo-1-abcdef.tmp"
zelvo_purge_store "$store"
untouched "the purge"
[ ! -e "$work/etc" ] || fail "the store's folder is left: $(ls -a "$work/etc")"
echo "attacks on the store and the grant: none went through"
