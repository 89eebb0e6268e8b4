#!/bin/sh
# The class folder of an earlier package (2775, files 0664: readable by every
# account of the machine) on an upgrade: others lose their access to the
# folder and its regular files, once; no bit is added, nothing outside the
# folder changes, not even while a member swaps a file for a link to root's
# file as the step runs, nor a file outside that a name in the folder is a
# hard link to. A new folder is made closed to others at once.
#   class_upgrade_test.sh INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
. "$1"

command -v dpkg >/dev/null || { echo "needs dpkg: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
test_group=zlvq$$
member=zlvr$$
outsider=zlvs$$
add_accounts "$member" "$outsider"
groupadd --system "$test_group"
usermod -a -G "$test_group" "$member"
class=$work/class

# A folder made by the step is closed to others from the start.
zelvo_class_folder "$work/new" "$test_group"
[ "$(stat -c '%U:%G %a' "$work/new")" = "root:$test_group 2770" ] || fail "a new folder: $(stat -c '%U:%G %a' "$work/new")"
runuser -u "$outsider" -- ls "$work/new" >/dev/null 2>&1 && fail "the outsider lists the new folder"
runuser -u "$member" -- touch "$work/new/x" || fail "a member cannot write in the new folder"

# old_layout: the class folder as an earlier package and program left it
old_layout() {
    rm -rf "$class"
    mkdir "$class"
    chown root:"$test_group" "$class"
    chmod 2775 "$class"
    for f in anna.zamrik 1-20record.config .zelvo.lock; do
        : >"$class/$f"
        chown "$member:$test_group" "$class/$f"
        chmod 0664 "$class/$f"
    done
    : >"$class/tight.zamrik"
    chmod 0600 "$class/tight.zamrik" # tightened by the administrator
    : >"$class/half.zamrik"
    chmod 0641 "$class/half.zamrik"
    mkfifo -m 0666 "$class/pipe"
    ln -s "$work/root-file" "$class/link.zamrik"
    ln "$work/outside-file" "$class/hard.zamrik"
    mkdir -m 0775 "$class/sub"
    : >"$class/sub/deep"
    chmod 0664 "$class/sub/deep"
}
: >"$work/root-file"
chmod 0644 "$work/root-file"
# Another account's file outside the folder, hard-linked into it (made by
# root here: the kernel's protected_hardlinks may stop a member from it).
: >"$work/outside-file"
chown "$outsider" "$work/outside-file"
chmod 0664 "$work/outside-file"
# modes: every entry's mode, for comparison
modes() {
    (cd "$class" && find . -exec stat -c '%n %a' {} + | sort)
    stat -c '%n %a' "$work/root-file" "$work/outside-file"
}

old_layout
zelvo_class_folder "$class" "$test_group" 2.6
expected="$(printf '%s\n' ". 2770" "./.zelvo.lock 660" "./1-20record.config 660" "./anna.zamrik 660" \
    "./half.zamrik 640" "./hard.zamrik 664" "./link.zamrik 777" "./pipe 666" "./sub 2775" "./sub/deep 664" \
    "./tight.zamrik 600" | sort)
$work/root-file 644
$work/outside-file 664"
[ "$(modes)" = "$expected" ] || fail "after the upgrade from 2.6:
$(modes)"
runuser -u "$outsider" -- ls "$class" >/dev/null 2>&1 && fail "the outsider lists the folder"
runuser -u "$outsider" -- flock -s "$class/.zelvo.lock" true 2>/dev/null && fail "the outsider locks the folder"
runuser -u "$member" -- flock -s "$class/.zelvo.lock" true || fail "a member cannot lock the folder"
runuser -u "$member" -- touch "$class/new" || fail "a member cannot write in the folder"

# Once: upgrades from this version on, and later configurations, leave the
# modes the administrator chose.
chmod 0664 "$class/anna.zamrik"
chmod 2775 "$class"
for version in 2.6.1 2.7; do
    zelvo_class_folder "$class" "$test_group" "$version"
    [ "$(stat -c %a "$class/anna.zamrik") $(stat -c %a "$class")" = "664 2775" ] || fail "mended again from $version"
done
# A folder without group write (the administrator's choice) gets none.
old_layout
chmod 2755 "$class"
zelvo_class_folder "$class" "$test_group" 2.5
[ "$(stat -c %a "$class")" = 2750 ] || fail "group write added: $(stat -c %a "$class")"
# A first configuration over a folder left by an earlier installation mends it.
old_layout
zelvo_class_folder "$class" "$test_group" ""
[ "$(stat -c %a "$class") $(stat -c %a "$class/anna.zamrik")" = "2770 660" ] || fail "first configuration: $(modes)"

# A member swaps a file for a link to root's file and back while the step
# runs: root's file keeps its mode.
old_layout
: >"$running"
runuser -u "$member" -- sh -c 'while [ -e "$3" ]; do
    ln -sfT "$1" "$2.l" 2>/dev/null && mv -fT "$2.l" "$2" 2>/dev/null
    : >"$2.f" 2>/dev/null && chmod 0664 "$2.f" && mv -fT "$2.f" "$2" 2>/dev/null
done' sh "$work/root-file" "$class/anna.zamrik" "$running" 2>/dev/null &
swapper=$!
i=0
while [ $i -lt 30 ]; do
    chmod 2775 "$class"
    zelvo_close_class_folder "$class"
    [ "$(stat -c %a "$class")" = 2770 ] || fail "the folder after the step: $(stat -c %a "$class")"
    i=$((i + 1))
done
rm "$running"
wait "$swapper" || true
[ "$(stat -c %a "$work/root-file")" = 644 ] || fail "root's file changed its mode: $(stat -c %a "$work/root-file")"
echo "class folder closed to others on upgrade: ok"
