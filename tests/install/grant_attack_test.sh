#!/bin/sh
# What other accounts of the machine may try against the steps that run as
# root on the configuration store (the package's configure steps: "PathUser",
# closing the store to the keeper's group; the purge), against ELEVHELP.exe,
# which grants nothing any more, and against each other's saves, with real
# accounts: mallory, an account that talks the teacher into running
# ELEVHELP.exe, carol and dave, accounts an earlier version granted the right
# to save (their ACL entries are there until the upgrade's configure step),
# eve, never granted, and a member of the keeper's group.
# Every attack aims at files of root's or of another account's, which must
# come out unchanged.
#   grant_attack_test.sh DRIVER ELEVHELP INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
elevhelp=$2
steps=$3
. "$3"

command -v setfacl >/dev/null || { echo "needs setfacl: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
test_group=zlvo$$
carol=zlvk$$
dave=zlvl$$
eve=zlvm$$
mallory=zlvn$$
member=zlvi$$
add_accounts "$carol" "$dave" "$eve" "$mallory" "$member"
groupadd --system "$test_group"
usermod -a -G "$test_group" "$member"
cp "$driver" "$work/driver"
cp "$elevhelp" "$work/ELEVHELP.exe"
elevhelp=$work/ELEVHELP.exe
store=$work/etc/machine.reg
zelvo_default_path_user "$store" /var/lib/zelvo
cp -p "$store" "$work/store.good"

# old_grant ACCOUNT: the ACL entries an earlier version's grant gave: write
# to the store and its folder, and the folder's default for a new store.
old_grant() {
    setfacl -m "u:$1:rw" "$store"
    setfacl -m "u:$1:rwx" -m "d:u:$1:rw" "$work/etc"
}
# restore: the store's folder as an earlier version left it, carol and dave
# granted, nothing else in it
restore() {
    find "$work/etc" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
    setfacl -b "$work/etc"
    chown root:root "$work/etc"
    chmod 0755 "$work/etc"
    chmod g-s "$work/etc"
    cp -p "$work/store.good" "$store"
    old_grant "$carol"
    old_grant "$dave"
}
restore

# Root's files the attacks aim at, and one of dave's.
mkdir "$work/victim"
printf 'root:x:0:0:root:/root:/bin/sh\n' >"$work/victim/passwd"
chmod 0644 "$work/victim/passwd"
printf 'dave keeps this\n' >"$work/victim/daves"
chown "$dave" "$work/victim/daves"
# state: what must not change (content, owner, group, mode, ACL) of the victims
state() {
    for f in "$work/victim"/*; do
        printf '%s %s\n' "$(stat -c '%n %u %g %a %h' "$f")" "$(cksum <"$f")"
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

# 1. ELEVHELP.exe started by mallory with the store pointed at root's file,
# with a pkexec and a sudo that record being asked: it asks neither; then
# the teacher runs what an earlier version ran as root, with mallory's
# environment and any arguments: nothing changes, nobody is granted.
mkdir "$work/bin"
for tool in pkexec sudo; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/asked"\n' "$tool" "$work" >"$work/bin/$tool"
    chmod 0755 "$work/bin/$tool"
done
: >"$work/asked"
chmod 0666 "$work/asked"
as "$mallory" env PATH="$work/bin:/usr/bin:/bin" ZELVO_MACHINE_STORE="$work/victim/passwd" \
    "$elevhelp" 2>/dev/null || fail "mallory's start of ELEVHELP.exe"
[ ! -s "$work/asked" ] || fail "ELEVHELP.exe asked: $(cat "$work/asked")"
mallory_uid=$(id -u "$mallory")
for args in "--grant" "--grant $mallory $work/victim/passwd" "--grant $eve" "--grant root" \
    "--grant $eve $work/victim/passwd"; do
    env ZELVO_MACHINE_STORE="$work/victim/passwd" PKEXEC_UID="$mallory_uid" "$elevhelp" $args >/dev/null 2>&1 ||
        true
    "$elevhelp" $args >/dev/null 2>&1 || true
    untouched "ELEVHELP.exe $args"
done
getfacl -p "$store" "$work/etc" | grep -q -e "$mallory" -e "$eve" && fail "ELEVHELP.exe granted: $(getfacl -p "$store" "$work/etc")"
save "$mallory" "5|5|5|5" && fail "mallory saves"
save "$eve" "6|6|6|6" && fail "eve saves"

# 2. A granted account puts something else in the store's place; then the
# root steps run there: ELEVHELP.exe's old grant, "PathUser" (the store's
# folder still as an earlier version left it), then the upgrade's closing of
# the store, after which the folder is the keeper's group's alone.
# attack WHAT COMMAND...: carol runs COMMAND in the store's folder, then root
# and dave run their steps there
attack() {
    what=$1
    shift
    restore
    as "$carol" "$@" || fail "$what: carol could not set it up"
    timeout 20 "$elevhelp" --grant "$eve" >/dev/null 2>&1 || fail "$what: ELEVHELP.exe --grant failed or hung"
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
    timeout 20 sh -c '. "$1"; zelvo_close_store "$2" "$3"' sh "$steps" "$store" "$test_group" 2>/dev/null ||
        fail "$what: closing the store failed or hung"
    untouched "$what, the store closed"
    [ "$(stat -c '%U:%G %a' "$work/etc")" = "root:$test_group 2770" ] && [ -z "$(getfacl -cs "$work/etc")" ] ||
        fail "$what: the folder closed: $(stat -c '%U:%G %a' "$work/etc") $(getfacl -cs "$work/etc")"
    as "$carol" touch "$work/etc/new" 2>/dev/null && fail "$what: carol writes in the group's folder"
    true
}
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
zelvo_default_path_user "$store" /srv/elsewhere 2>/dev/null
zelvo_close_store "$store" "$test_group" 2>/dev/null
untouched "a hard link"
rm "$store"

# While a root step works in the folder, no granted account (before the
# upgrade) and no member of the group (after it) may add, rename or remove
# an entry there. A folder left closed (a step killed) is opened by the next
# step.
# closed ACCOUNT: the folder closed by root, then opened again
closed() {
    (
        zelvo_close_folder "$work/etc"
        as "$1" touch "$work/etc/new" 2>/dev/null && fail "$1 adds a file to the closed folder"
        as "$1" mv "$store" "$store.old" 2>/dev/null && fail "$1 renames the store in the closed folder"
        as "$1" rm -f "$store" 2>/dev/null && fail "$1 removes the store from the closed folder"
        zelvo_open_folder "$work/etc"
    )
    as "$1" touch "$work/etc/new" || fail "$1 cannot write in the folder opened again"
    rm "$work/etc/new"
}
restore
closed "$carol"
chmod g-w "$work/etc"
zelvo_default_path_user "$store" /var/lib/zelvo || fail "the configure step in a folder left closed"
getfacl -p "$work/etc" | grep -q '^mask::rwx$' || fail "the folder left closed stays closed"
zelvo_close_store "$store" "$test_group"
closed "$member"
chmod g-w "$work/etc"
zelvo_close_store "$store" "$test_group"
[ "$(stat -c %a "$work/etc")" = 2770 ] || fail "the group's folder left closed stays closed"

# Carol swaps the store for a link and back as fast as she can while the
# root steps run: they find the folder closed, or a regular file. After
# each closing of the store, carol gets the earlier version's folder back.
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
    zelvo_default_path_user "$store" /srv/elsewhere 2>/dev/null || true
    zelvo_close_store "$store" "$test_group" 2>/dev/null || true
    # Read without following carol's links, which do lead to root's file.
    for f in "$store" "$store".??????; do
        dd if="$f" iflag=nofollow,nonblock status=none 2>/dev/null | grep -q '^root:' &&
            fail "root's file read into $f"
    done
    chgrp root "$work/etc"
    chmod 0755 "$work/etc"
    chmod g-s "$work/etc"
    setfacl -m "u:$carol:rwx" "$work/etc"
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
    zelvo_default_path_user "$folder/machine.reg" /srv/elsewhere 2>/dev/null && fail "the configure step in $folder"
    zelvo_close_store "$folder/machine.reg" "$test_group" 2>/dev/null && fail "closing the store in $folder"
    [ -z "$(find "$work/elsewhere" "$work/open" "$work/carols" -group "$test_group")" ] ||
        fail "given to the group in $folder"
done
made=$(find "$work/elsewhere" "$work/open" "$work/carols" -mindepth 1)
[ -z "$made" ] || fail "files made: $made"

# Purging removes the store as it stands, a link too, never its target; so
# it does in the group's folder.
restore
as "$carol" ln -sfT "$work/victim/passwd" "$store"
as "$carol" touch "$work/etc/.zelvo-1-abcdef.tmp"
zelvo_purge_store "$store"
untouched "the purge"
[ ! -e "$work/etc" ] || fail "the store's folder is left: $(ls -a "$work/etc")"
zelvo_default_path_user "$store" /var/lib/zelvo
zelvo_close_store "$store" "$test_group"
zelvo_purge_store "$store"
[ ! -e "$work/etc" ] || fail "the group's folder is left: $(ls -a "$work/etc")"
echo "attacks on the store and its steps: none went through"
