#!/bin/sh
# The program's own steps (the routines its windows call) run by accounts in
# no group, made after the class folder was set up as the package sets it up:
# the store and the class folder closed to them, the keeper setgid beside.
# They play at once; a pupil cannot use another's nick without its password,
# by hand or through the program; two pupils sharing one account keep their
# own passwords; eight copies appending 200 results each keep all 1,600;
# keepers killed during every kind of write lose and tear nothing; and
# ADM saves the settings through the keeper with no grant of the account's own.
#   keeper_program_test.sh KEEPER DRIVER INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
keeper=$1
driver=$2
. "$3"

. "$(dirname "$0")/test_accounts.sh"
test_group=zlvp$$
pupil=zlvq$$
other=zlvr$$
shared=zlvs$$
class=$work/class
store=$work/etc/machine.reg
zelvo_class_folder "$class" "$test_group"
zelvo_default_path_user "$store" "$class"
zelvo_close_store "$store" "$test_group"
cp "$keeper" "$work/zelvo-keeper"
zelvo_keeper_mode "$work/zelvo-keeper" "$test_group"
cp "$driver" "$work/driver"
# Accounts made after the installation, in no group.
add_accounts "$pupil" "$other" "$shared"

# as ACCOUNT ARGS...: the program's routines as that account, with the keeper
as() {
    account=$1
    shift
    runuser -u "$account" -- env ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
        QT_QPA_PLATFORM=offscreen "$work/driver" "$@"
}
show() { env ZELVO_MACHINE_STORE="$store" QT_QPA_PLATFORM=offscreen "$work/driver" show "$@"; }

# The new account plays at once: a new user, an exercise's result and totals.
as "$pupil" new anna a1 "Анна" || fail "a new account cannot create a user"
as "$pupil" finish anna a1 12 60 1 || fail "a new account cannot finish an exercise"
got=$(show anna)
case $got in
"totals 60 12"*"record anna 12 1"*) ;;
*) fail "the result and totals are not stored: $got" ;;
esac
# What the keeper made is the group's and closed to others.
for file in "$class/anna.zamrik" "$class/20record.config"; do
    [ $(($(stat -c 0%a "$file") & 07)) -eq 0 ] || fail "$file is open to others: $(stat -c %a "$file")"
done

# The other pupil: not by hand, and not through the program without the password.
for path in "$class" "$class/anna.zamrik" "$class/20record.config" "$store"; do
    if runuser -u "$other" -- sh -c "exec 3<'$path'" 2>/dev/null; then
        fail "another pupil opens $path by hand"
    fi
done
before=$(show anna)
if as "$other" finish anna wrong 99 1 0 2>/dev/null; then
    fail "a wrong password finished an exercise for anna"
fi
[ "$(show anna)" = "$before" ] || fail "a refused login changed anna's data"

# One account shared by two pupils: each keeps her own password.
as "$shared" new masha m1 "Маша" || fail "masha not created"
as "$shared" new petya p1 "Петя" || fail "petya not created"
if as "$shared" finish masha p1 5 10 0 2>/dev/null; then
    fail "petya's password finished masha's exercise"
fi
as "$shared" finish masha m1 5 10 0 || fail "masha cannot finish with her own password"

# Eight copies, 200 results each: all 1,600 whole in the table.
n=1
while [ $n -le 8 ]; do
    as "$pupil" new "c$n" pw "Copy $n" || fail "copy $n not created"
    n=$((n + 1))
done
n=1
pids=
while [ $n -le 8 ]; do
    as "$pupil" appends "c$n" pw 200 >/dev/null &
    pids="$pids $!"
    n=$((n + 1))
done
for pid in $pids; do
    wait "$pid" || fail "a copy's appends failed"
done
count=$(show anna | grep -c '^record c[1-8] ' || true)
[ "$count" -eq 1600 ] || fail "$count of 1600 appended results are in the table"
[ $(($(stat -c %s "$class/20record.config") % 780)) -eq 0 ] || fail "the table holds a torn record"

# The pupil's keepers killed again and again while every kind of write is
# under way: nothing reported written is lost, and nothing is torn.
as "$pupil" new k1 p0 "Kill" || fail "k1 not created"
: >"$work/killing"
(
    while [ -e "$work/killing" ]; do
        pkill -9 -x -u "$pupil" zelvo-keeper 2>/dev/null || true
        sleep 0.05
    done
) &
killer=$!
appended=0
finished=0
current=p0
round=1
while [ $round -le 20 ]; do
    appended=$((appended + $(as "$pupil" appends k1 "$current" 20 2>/dev/null | grep -c '^appended' || true)))
    if as "$pupil" finish k1 "$current" 1 10 0 2>/dev/null; then
        finished=$((finished + 1))
    fi
    next=p$((round % 2))
    if as "$pupil" passwd k1 "$current" "$next" 2>/dev/null; then
        current=$next
    elif as "$pupil" login k1 "$next" 2>/dev/null; then
        current=$next # changed, though the answer was lost with the keeper
    fi
    as "$pupil" new "n$round" pw "New $round" 2>/dev/null || true
    round=$((round + 1))
done
rm -f "$work/killing"
wait "$killer" || true
as "$pupil" login k1 "$current" || fail "k1's password is neither of the two after the kills"
rows=$(show k1 | grep -c '^record k1 ' || true)
# Each finish adds one row; a step whose answer was lost may add one unreported.
[ "$rows" -ge $((appended + finished)) ] ||
    fail "$rows rows of k1 in the table, but $appended appends and $finished finishes were reported"
[ $(($(stat -c %s "$class/20record.config") % 780)) -eq 0 ] || fail "a kill tore the table"
totals=$(show k1 | sed -n 's/^totals \([0-9]*\) .*/\1/p')
[ "$totals" -ge $((finished * 10)) ] || fail "k1's totals $totals lost finished exercises ($finished)"
for profile in "$class"/*.zamrik; do
    [ "$(stat -c %s "$profile")" -eq 468 ] || fail "a kill tore $profile"
done
echo "kills: $appended appends, $finished finishes reported, $rows rows"

# ADM saves the settings through the keeper: no write access of the account's own.
as "$pupil" adm-save "" "9|8|7|6" || fail "ADM could not save the settings through the keeper"
grep -q '"AdmConf"="9|8|7|6"' "$store" || fail "the settings are not in the store: $(cat "$store")"
if as "$pupil" adm-save "wrong" "1|1|1|1" 2>/dev/null; then
    fail "a wrong ADM password saved the settings"
fi
echo "keeper program test: passed"
