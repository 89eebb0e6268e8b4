#!/bin/sh
# One pupil's account attacks another's through the class folder they share
# (set up as the package sets it up, then closed to the others: 2770). The
# program of the attacked account must never write into a file of its own
# through a link the attacker planted, never copy a table beyond the records
# limit, fail a step after the wait limit when the attacker holds the folder's
# lock, and leave the folder as it was whenever a step fails. The files it
# makes there are 0660, the lock file too. Every step runs under umask 077.
#   class_attacks_test.sh DRIVER INSTALL_STEPS     (root; exit 77 = skipped)
set -eu
driver=$1
. "$2"

. "$(dirname "$0")/test_accounts.sh"
class_of_two "$driver"

# The victim's own files outside the class folder.
home=$work/home
mkdir "$home"
printf "alias ll='ls -l'\n" >"$home/.bash_aliases"
printf 'my homework\n' >"$home/doc.txt"
chown -R "$victim" "$home"
chmod 0755 "$home"
chmod 0644 "$home/.bash_aliases" "$home/doc.txt"
cp "$home/.bash_aliases" "$work/aliases.orig"
cp "$home/doc.txt" "$work/doc.orig"

# fails_with TEXT ACCOUNT ARGS...: the driver must fail, naming TEXT
fails_with() {
    text=$1
    shift
    if as "$@" 2>"$work/err"; then
        fail "$* succeeded"
    fi
    grep -qF "$text" "$work/err" || fail "$* failed otherwise: $(cat "$work/err")"
}
# The class folder's names, modes and contents, to compare before and after a failed step.
state() {
    (cd "$class" && find . -mindepth 1 -printf '%p %y %m %s %l\n' | sort &&
        find . -type f -size -10M -exec sha256sum {} + | sort)
}
victim_files_untouched() {
    cmp -s "$home/.bash_aliases" "$work/aliases.orig" || fail "$1: .bash_aliases changed"
    cmp -s "$home/doc.txt" "$work/doc.orig" || fail "$1: doc.txt changed"
    [ "$(ls -A "$home" | wc -l)" -eq 2 ] || fail "$1: files appeared beside the victim's: $(ls -A "$home")"
}
small_folder() {
    used=$(du -sk "$class" | cut -f1)
    [ "$used" -lt 10240 ] || fail "$1: the class folder takes $used KiB"
}

# Files the program makes in the class folder: 0660, of the group, nothing for the others.
as "$victim" new anna secret "Анна" || fail "the victim creates anna"
as "$victim" finish anna secret 10 60 1 || fail "the victim finishes an exercise"
as "$attacker" finish anna secret 4 40 0 || fail "the attacker finishes as anna"
wrong=$(find "$class" -mindepth 1 \( ! -type f -o ! -group "$test_group" -o ! -perm 0660 \))
[ -z "$wrong" ] || fail "files not 0660 of the group alone: $(ls -la "$class")"
[ -f "$class/.zelvo.lock" ] || fail "no lock file"

# 1. A records table that is a link to the victim's document.
attack "mv 20record.config saved.config && ln -s '$home/doc.txt' 20record.config"
before=$(state)
fails_with "File access denied" "$victim" finish anna secret 5 5 0
[ "$(state)" = "$before" ] || fail "the folder changed after the refused append"
victim_files_untouched "table link"
attack "rm 20record.config && mv saved.config 20record.config"

# 2. The start-up conversion: her text as a legacy table, the converted table
#    a link to the victim's .bash_aliases.
attack "head -c 776 /dev/zero | tr '\\0' '#' >x.conf && chmod 0660 x.conf && ln -s '$home/.bash_aliases' x.config"
before=$(state)
fails_with "File access denied" "$victim" convert
[ "$(state)" = "$before" ] || fail "the folder changed after the refused conversion"
victim_files_untouched "conversion link"
attack "rm x.conf x.config"

# 3. A profile that is a link: no login, nothing written through it.
attack "mv anna.zamrik saved.zamrik && ln -s '$home/doc.txt' anna.zamrik"
before=$(state)
fails_with "login refused" "$victim" finish anna secret 5 5 0
fails_with "the nick is taken" "$victim" new anna other "Анна"
[ "$(state)" = "$before" ] || fail "the folder changed after the refused login"
victim_files_untouched "profile link"
attack "rm anna.zamrik && mv saved.zamrik anna.zamrik"

# 4. Sizes are checked before copying: a sparse table of 500 GB, a legacy
#    table of two million records.
attack "mv 20record.config saved.config && truncate -s 500G 20record.config && chmod 0660 20record.config"
before=$(state)
fails_with "I/O error 75" "$victim" finish anna secret 5 5 0
[ "$(state)" = "$before" ] || fail "the folder changed after the refused append"
small_folder "huge table"
attack "rm 20record.config && mv saved.config 20record.config"
attack "truncate -s $((2000000 * 776)) y.conf && chmod 0660 y.conf"
before=$(state)
fails_with "I/O error 75" "$victim" convert
[ "$(state)" = "$before" ] || fail "the folder changed after the refused conversion"
small_folder "huge legacy table"
attack "rm y.conf"

# 5. The attacker holds a reader's shared lock: the victim's steps fail after
#    the (shortened) wait limit and change nothing; once it is given back they work.
as "$attacker" hold-lock 60 >"$work/held" &
waited=0
until grep -q held "$work/held" 2>/dev/null; do
    waited=$((waited + 1))
    [ "$waited" -lt 100 ] || fail "the attacker's lock was not had"
    sleep 0.1
done
before=$(state)
fails_with "I/O error 110" "$victim" --wait-limit 1000 finish anna secret 5 5 0
fails_with "I/O error 110" "$victim" --wait-limit 1000 new boris pass "Борис"
[ "$(state)" = "$before" ] || fail "the folder changed while the lock was held"
kill "$(cut -d' ' -f2 "$work/held")"
wait
as "$victim" --wait-limit 1000 finish anna secret 7 30 2 || fail "the victim finishes once the lock is back"

expected="totals 130 21
record anna 10 1
record anna 4 0
record anna 7 2"
shown=$(as "$victim" show anna)
[ "$shown" = "$expected" ] || fail "anna as the victim sees:
$shown"
victim_files_untouched "the end"
echo "links, huge tables and held locks of another account: ok"
