# Sourced by the tests that run the program's routines under real accounts.
# Skips the test (exit 77) unless it runs as root with useradd and runuser;
# gives `work`, a temporary folder every account may enter, and
# `add_accounts NAME...` and `add_account_with_shell SHELL NAME`, accounts
# that are deleted with that folder (and with `test_group`, when set) as the
# test ends. Loops that accounts run in the background go on while the file
# `$running` exists; the end of the test removes it and waits for them, so
# that their accounts can be deleted.

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

# elevhelp_for TEMPLATE STORE COPY: COPY becomes ELEVHELP.exe as built from
# TEMPLATE (ELEVHELP.exe.any-store), its store fixed to STORE.
elevhelp_for() {
    sed "s|@ZELVO_STORE@|$2|g" "$1" >"$3"
    chmod 0755 "$3"
}
