# Sourced by the tests that run the program's routines under real accounts.
# Skips the test (exit 77) unless asked to make accounts on this machine
# (ZELVO_REAL_ACCOUNTS=1 in the environment) and run as root with useradd and runuser;
# gives `work`, a temporary folder every account may enter, and
# `add_accounts NAME...` and `add_account_with_shell SHELL NAME`, accounts
# that are deleted with that folder (and with `test_group`, when set) as the
# test ends. Loops that accounts run in the background go on while the file
# `$running` exists; the end of the test removes it and waits for them, so
# that their accounts can be deleted.

if [ "${ZELVO_REAL_ACCOUNTS:-}" != 1 ]; then
    echo "makes accounts on this machine only with ZELVO_REAL_ACCOUNTS=1: skipped"
    exit 77
fi
if [ "$(id -u)" -ne 0 ] || ! command -v useradd >/dev/null || ! command -v runuser >/dev/null; then
    echo "needs root, useradd and runuser: skipped"
    exit 77
fi

work=$(mktemp -d)
chmod 0755 "$work"
running=$work/running
test_accounts=
test_group=
remove_test_accounts() {
    rm -f "$running"
    wait
    for account in $test_accounts; do
        userdel "$account" 2>/dev/null || true
    done
    [ -z "$test_group" ] || groupdel "$test_group" 2>/dev/null || true
    rm -rf "$work"
}
trap remove_test_accounts EXIT

add_accounts() {
    for account in "$@"; do
        add_account_with_shell /bin/sh "$account"
    done
}

add_account_with_shell() {
    useradd --no-create-home --shell "$1" "$2"
    test_accounts="$test_accounts $2"
}

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# class_of_two DRIVER: two accounts, `attacker` and `victim`, both in the
# group `test_group` of the class folder `class` (made as the package makes
# it, closed to others: 2770), the store $work/etc/machine.reg naming it, and
# DRIVER (class_driver) copied where both may run it: `as ACCOUNT ARGS...`
# runs it as that account with umask 077, `attack SHELL-COMMANDS` runs the
# commands as the attacker in the class folder. Needs the package's steps
# (install_steps.sh) sourced.
class_of_two() {
    test_group=zlvh$$
    attacker=zlvd$$
    victim=zlve$$
    add_accounts "$attacker" "$victim"
    class=$work/class
    zelvo_class_folder "$class" "$test_group"
    chmod 2770 "$class"
    usermod -a -G "$test_group" "$attacker"
    usermod -a -G "$test_group" "$victim"
    zelvo_default_path_user "$work/etc/machine.reg" "$class"
    cp "$1" "$work/driver"
}

# as ACCOUNT ARGS...: the driver run by that account with umask 077
as() {
    account=$1
    shift
    runuser -u "$account" -- env ZELVO_MACHINE_STORE="$work/etc/machine.reg" \
        sh -c 'umask 077; exec "$0" "$@"' "$work/driver" "$@"
}
# attack SHELL-COMMANDS: run by the attacker in the class folder
attack() {
    runuser -u "$attacker" -- sh -c "umask 077; cd '$class' && $1"
}
