#!/bin/sh
# The package's configure step (zelvo_configure, as the postinst runs it)
# over the layout an earlier version left: a teacher and a pupil in the
# group, the store readable by all, a teacher granted (ACL) and owning the
# store. Afterwards the keeper is setgid to the group, the members are out
# of the group and named on the terminal, and an account in no group reads
# neither the store nor the store's folder nor the class folder, while the
# keeper started by that account works there. A first installation and
# later upgrades add nobody and take nobody out; a store made anew is the
# group's; a dpkg-statoverride of the keeper stays.
#   keeper_install_test.sh KEEPER CLIENT INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
keeper=$1
client=$2
. "$3"

for tool in dpkg gpasswd setfacl; do
    command -v "$tool" >/dev/null || { echo "needs $tool: skipped"; exit 77; }
done
. "$(dirname "$0")/test_accounts.sh"
test_group=zlvp$$
teacher=zlvt$$
pupil=zlvu$$
newcomer=zlvw$$
add_accounts "$teacher" "$pupil" "$newcomer"
class=$work/class
store=$work/etc/machine.reg
installed=$work/zelvo-keeper
trap 'dpkg-statoverride --remove "$installed" >/dev/null 2>&1 || true; remove_test_accounts' EXIT

# The layout of an earlier version: the group with its members, the class
# folder, a store with ADM's digest that everyone reads, granted to the
# teacher (ACL entries on the store and its folder) and last saved by her.
zelvo_class_folder "$class" "$test_group" ""
usermod -a -G "$test_group" "$teacher"
usermod -a -G "$test_group" "$pupil"
mkdir -m 0755 "$work/etc"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Zamrik]\n"MyPass"="digest"\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"PathUser"="%s"\n' "$class" >"$store"
chown "$teacher" "$store"
chmod 0644 "$store"
setfacl -m "u:$teacher:rw" "$store"
setfacl -m "u:$teacher:rwx" -m "d:u:$teacher:rw" "$work/etc"
cp "$keeper" "$installed"
chmod 0755 "$installed"

# configure VERSION: the package's configure step, upgrading from VERSION
configure() {
    zelvo_configure "$class" "$test_group" "$store" "$installed" "$1"
}
modes() {
    stat -c '%n %U:%G %a' "$installed" "$class" "$work/etc" "$store" | sed "s#^$work/##"
}
expected_modes="zelvo-keeper root:$test_group 2755
class root:$test_group 2770
etc root:$test_group 2770
etc/machine.reg root:$test_group 660"
members() {
    getent group "$test_group" | cut -d: -f4
}

# The teacher holds the store open for writing, as her program might.
: >"$running"
mkdir "$work/flags"
chown "$teacher" "$work/flags"
runuser -u "$teacher" -- sh -c 'exec 3<>"$1" && : >"$3/open"; while [ -e "$2" ]; do sleep 0.1; done; echo written >&3' \
    sh "$store" "$running" "$work/flags" &
i=0
while [ ! -e "$work/flags/open" ]; do
    [ $i -lt 100 ] || fail "the teacher could not open the store"
    sleep 0.1
    i=$((i + 1))
done

said=$(configure 2.6.1)
[ "$(modes)" = "$expected_modes" ] || fail "after the upgrade:
$(modes)"
[ -z "$(getfacl -cs "$store" "$work/etc")" ] || fail "ACL entries left: $(getfacl -p "$store" "$work/etc")"
[ -z "$(members)" ] || fail "members left in the group: $(members)"
for line in "учётные записи $teacher, $pupil исключены из группы $test_group" "adduser ИМЯ $test_group" \
    "$teacher, $pupil left the group $test_group" "adduser NAME $test_group"; do
    printf '%s\n' "$said" | grep -qF -e "$line" || fail "the terminal does not say: $line
$said"
done
rm "$running"
wait
grep -q '^"MyPass"="digest"$' "$store" || fail "ADM's digest lost: $(cat "$store")"
grep -qxF "\"PathUser\"=\"$class\"" "$store" || fail "PathUser lost: $(cat "$store")"
grep -q written "$store" && fail "the teacher wrote the store through the descriptor she held"
runuser -u "$teacher" -- chmod 0666 "$store" 2>/dev/null && fail "the teacher changes the store's mode"

# Nobody of no group reads the store or lists the folders; the keeper that
# such an account starts reads the store and works in the class folder.
for account in "$newcomer" "$teacher" "$pupil"; do
    runuser -u "$account" -- cat "$store" >/dev/null 2>&1 && fail "$account reads the store"
    runuser -u "$account" -- ls "$work/etc" >/dev/null 2>&1 && fail "$account lists the store's folder"
    runuser -u "$account" -- ls "$class" >/dev/null 2>&1 && fail "$account lists the class folder"
done
cp "$client" "$work/client"
got=$(runuser -u "$newcomer" -- env ZELVO_MACHINE_STORE="$store" "$work/client" "$installed" hello "create anna a1 Анна")
[ "$got" = "ok 1 
ok 2 " ] || fail "the keeper of an account in no group: $got"
[ "$(stat -c %G "$class/anna.zamrik")" = "$test_group" ] || fail "the keeper's file: $(ls -l "$class")"

# A teacher put back on purpose stays; nobody is added: on a first
# installation, and on upgrades from this version on, nothing is said.
usermod -a -G "$test_group" "$teacher"
for version in "" 2.6.2 2.7; do
    said=$(configure "$version")
    [ -z "$said" ] || fail "configured over \"$version\", it says: $said"
    [ "$(members)" = "$teacher" ] || fail "configured over \"$version\", the members: $(members)"
    [ "$(modes)" = "$expected_modes" ] || fail "configured over \"$version\":
$(modes)"
done

# A store made anew is the group's alone.
rm "$store"
configure 2.6.2
[ "$(modes)" = "$expected_modes" ] || fail "a store made anew:
$(modes)"
grep -q '^"PathUser"=' "$store" || fail "no PathUser in the store made anew"

# The administrator's own owner and mode for the keeper stay.
if dpkg-statoverride --add root root 0750 "$installed" 2>/dev/null; then
    chown root:root "$installed"
    chmod 0750 "$installed"
    configure 2.6.2
    [ "$(stat -c '%U:%G %a' "$installed")" = "root:root 750" ] ||
        fail "the statoverride was not kept: $(stat -c '%U:%G %a' "$installed")"
else
    echo "dpkg-statoverride --add failed (the dpkg database is busy?): the override is not tried"
fi
echo "the package's keeper and closed store: ok"
