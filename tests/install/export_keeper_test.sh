#!/bin/sh
# The teacher's export run by an account in no group, after the class folder
# was set up as the package sets it up (the folder and the store closed to
# that account, the keeper setgid beside): with ADM's password on standard
# input it exports the CSV and the report through the keeper, byte for byte
# what root's direct read of the same folder gives; a wrong password or none
# gets nothing. A teacher put in the group reads directly, with no password.
#   export_keeper_test.sh ZELVO_EXPORT KEEPER KEEPER_CLIENT DRIVER INSTALL_STEPS
#                                                       (root; exit 77 = skipped)
set -eu
export_program=$1
keeper=$2
keeper_client=$3
driver=$4
. "$5"

. "$(dirname "$0")/test_accounts.sh"
test_group=zlvx$$
pupil=zlvy$$
teacher=zlvt$$
member=zlvm$$
class=$work/class
store=$work/etc/machine.reg
zelvo_class_folder "$class" "$test_group"
zelvo_default_path_user "$store" "$class"
zelvo_close_store "$store" "$test_group"
cp "$keeper" "$work/zelvo-keeper"
zelvo_keeper_mode "$work/zelvo-keeper" "$test_group"
cp "$driver" "$work/driver"
cp "$export_program" "$work/zelvo-export"
add_accounts "$pupil" "$teacher" "$member"
usermod -a -G "$test_group" "$member"

# A class played through the keeper, and ADM's password set through it.
as_pupil() {
    runuser -u "$pupil" -- env ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
        QT_QPA_PLATFORM=offscreen "$work/driver" "$@"
}
as_pupil new anna a1 "Анна Петрова" || fail "anna not created"
as_pupil new "=bob" b1 "@Борис" || fail "=bob not created"
as_pupil finish anna a1 12 60 1 || fail "anna's exercise not stored"
as_pupil finish anna a1 20 50 0 || fail "anna's second exercise not stored"
as_pupil finish "=bob" b1 9 40 3 || fail "=bob's exercise not stored"
set_password=$(ZELVO_MACHINE_STORE="$store" "$keeper_client" "$work/zelvo-keeper" \
    "adm " "password  Секрет1")
case $set_password in
ok*ok*) ;;
*) fail "ADM's password not set through the keeper: $set_password" ;;
esac

# ADM's password as a script hands it over: one line of standard input.
printf 'Секрет1\n' >"$work/password"
printf 'wrong\n' >"$work/wrong"
out=$work/out
mkdir "$out"
chown "$teacher" "$out"
if runuser -u "$teacher" -- ls "$class" >/dev/null 2>&1; then
    fail "the teacher's account lists the class folder by hand"
fi

# export ACCOUNT NAME ARGS...: zelvo-export ARGS as ACCOUNT, standard input
# passed on, into $out/NAME; its status in $status, its messages in $out/NAME.err
export_as() {
    account=$1
    name=$2
    shift 2
    status=0
    runuser -u "$account" -- env ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
        "$work/zelvo-export" "$@" --output "$out/$name" 2>"$out/$name.err" || status=$?
}
# The report without the line of the time it was made.
page() { grep -v '<dt>Made</dt>' "$1"; }

# root reads the folder itself: the bytes to compare with.
for what in summary "records 20" "report --lang en"; do
    # shellcheck disable=SC2086
    ZELVO_MACHINE_STORE="$store" "$work/zelvo-export" $what --output "$work/root-$what.out" 2>"$work/root.err" ||
        fail "root's direct export of $what failed"
done
grep -qF '"'"'"'=bob"' "$work/root-summary.out" || fail "root's summary lacks =bob: $(cat "$work/root-summary.out")"

# The teacher with ADM's password on standard input: the same bytes.
for what in summary "records 20" "report --lang en"; do
    # shellcheck disable=SC2086
    export_as "$teacher" "$what.out" $what <"$work/password"
    [ "$status" -eq 0 ] || fail "$what through the keeper: status $status: $(cat "$out/$what.out.err")"
    if [ "$what" = "report --lang en" ]; then
        [ "$(page "$out/$what.out")" = "$(page "$work/root-$what.out")" ] ||
            fail "the report through the keeper differs from root's"
    else
        cmp "$out/$what.out" "$work/root-$what.out" 2>"$work/root.err" || fail "$what through the keeper differs from root's"
    fi
    [ "$(stat -c %U "$out/$what.out")" = "$teacher" ] || fail "$what: the output is not the teacher's"
done

# Typed on a terminal: asked for in both languages, never echoed.
if command -v python3 >/dev/null; then
    typed=$(python3 - "$teacher" "$store" "$work" "$out" <<'PY'
import os, pty, select, sys, time
teacher, store, work, out = sys.argv[1:]
pid, fd = pty.fork()
if pid == 0:
    os.execvp("runuser", ["runuser", "-u", teacher, "--", "env", "ZELVO_MACHINE_STORE=" + store,
                          "ZELVO_KEEPER=" + work + "/zelvo-keeper", work + "/zelvo-export",
                          "summary", "--output", out + "/typed.csv"])
seen = b""
def read_until(done, seconds):
    global seen
    end = time.time() + seconds
    while not done() and time.time() < end:
        if select.select([fd], [], [], 0.1)[0]:
            try:
                data = os.read(fd, 1024)
            except OSError:
                return
            if not data:
                return
            seen += data
read_until(lambda: b"ADM password: " in seen, 20)
os.write(fd, "Секрет1\n".encode())
read_until(lambda: False, 3)
os.waitpid(pid, 0)
print(seen.decode(errors="replace").replace("\r", ""))
PY
)
    [ "$typed" = "Пароль ADM / ADM password: " ] || fail "the terminal showed: $typed"
    cmp "$out/typed.csv" "$work/root-summary.out" || fail "the summary with the typed password differs"
fi

# A wrong password, or none: a message in both languages, no output file.
export_as "$teacher" wrong.csv summary <"$work/wrong"
[ "$status" -eq 1 ] && [ ! -e "$out/wrong.csv" ] || fail "a wrong password: status $status"
grep -qxF 'zelvo-export: неверный пароль ADM, ничего не выгружено / wrong ADM password, nothing exported' \
    "$out/wrong.csv.err" || fail "a wrong password is not named: $(cat "$out/wrong.csv.err")"
export_as "$teacher" none.html report </dev/null
[ "$status" -eq 1 ] && [ ! -e "$out/none.html" ] || fail "no password: status $status"
grep -qxF 'zelvo-export: пароль ADM не введён, ничего не выгружено / no ADM password given, nothing exported' \
    "$out/none.html.err" || fail "no password is not named: $(cat "$out/none.html.err")"

# Another folder than the store's is never read through the keeper.
mkdir "$work/other"
chown root:"$test_group" "$work/other"
chmod 2770 "$work/other"
export_as "$teacher" other.csv summary --folder "$work/other" <"$work/password"
[ "$status" -eq 1 ] && [ ! -e "$out/other.csv" ] || fail "another closed folder was read: status $status"
grep -qF "cannot read $work/other/: File access denied" "$out/other.csv.err" ||
    fail "another closed folder: $(cat "$out/other.csv.err")"
# The store's folder named on the command line is.
export_as "$teacher" named.csv summary --folder "$class/" <"$work/password"
[ "$status" -eq 0 ] || fail "the store's folder named with --folder: $(cat "$out/named.csv.err")"

# A teacher put in the group reads directly: no password is asked for.
chown "$member" "$out"
export_as "$member" member.csv summary </dev/null
[ "$status" -eq 0 ] || fail "the group's teacher: status $status: $(cat "$out/member.csv.err")"
cmp "$out/member.csv" "$work/root-summary.out" || fail "the group's teacher's summary differs"
[ ! -s "$out/member.csv.err" ] || fail "the group's teacher got messages: $(cat "$out/member.csv.err")"
echo "export keeper test: passed"
