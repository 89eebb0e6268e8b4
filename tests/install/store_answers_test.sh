#!/bin/sh
# The package's steps that write the answers to its questions into the store
# and read the store's values back for them: stores of several shapes keep
# every other line and their line ends, each value is replaced wherever the
# key names it, and the scoring and the class folder the program would refuse
# are refused. With DRIVER (class_driver), the program's own reader must
# find the class folder written.
#   store_answers_test.sh INSTALL_STEPS [DRIVER]    (root; exit 77 = skipped)
set -eu
steps=$1
driver=${2:-}
. "$steps"
# The steps work only in root's own folders.
[ "$(id -u)" -eq 0 ] || { echo "needs root: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
store=$work/etc/machine.reg
failures=0
failed() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
cr=$(printf '\r')

# check NAME STORE_BEFORE (- for none) EXPECTED_STORE KEY NAME VALUE...:
# sets the values and compares the whole store.
check() {
    name=$1
    before=$2
    expected=$3
    shift 3
    rm -rf "$work/etc"
    mkdir -m 0755 "$work/etc"
    [ "$before" = - ] || printf '%s' "$before" >"$store"
    if ! zelvo_store_set "$store" "$@"; then
        failed "$name: the step failed"
    elif [ "$(cat "$store")" != "$expected" ]; then
        failed "$name: store:
$(cat "$store")"
    fi
}

dorvo='[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]'
zamrik='[HKEY_LOCAL_MACHINE\Software\Brenk\Zamrik]'

check "no store" - "REGEDIT4

$dorvo
\"PathUser\"=\"/mnt/zelvo\"
\"AdmConf\"=\"7|3|4|1\"
\"NoSound\"=dword:00000001" \
    'Software\Brenk\Dorvo' PathUser '"/mnt/zelvo"' AdmConf '"7|3|4|1"' NoSound dword:00000001

check "other key and values kept, one value replaced, one added below the key" "REGEDIT4

$zamrik
\"MyPass\"=\"old\"

$dorvo
\"PathUser\"=\"/var/lib/zelvo\"
\"Extra\"=hex:01,02,\\
  03
" "REGEDIT4

$zamrik
\"MyPass\"=\"old\"

$dorvo
\"AdmConf\"=\"5|2|2|2\"
\"PathUser\"=\"/srv/a\"
\"Extra\"=hex:01,02,\\
  03" \
    'Software\Brenk\Dorvo' PathUser '"/srv/a"' AdmConf '"5|2|2|2"'

check "names and keys of another letter case, a value named twice in two sections" "REGEDIT4

[hkey_local_machine\\software\\brenk\\zamrik]
\"mypass\"=\"a\"

$zamrik
\"MYPASS\"=\"b\"
" "REGEDIT4

[hkey_local_machine\\software\\brenk\\zamrik]
\"mypass\"=\"new \\\"digest\\\\\"

$zamrik
\"MYPASS\"=\"new \\\"digest\\\\\"" \
    'Software\Brenk\Zamrik' MyPass "$(zelvo_store_string 'new "digest\')"

check "CR LF line ends kept, the new line too" "REGEDIT4$cr
$cr
$dorvo$cr
\"NoSound\"=dword:00000000$cr
" "REGEDIT4$cr
$cr
$dorvo$cr
\"PathUser\"=\"/x\"$cr
\"NoSound\"=dword:00000001$cr" \
    'Software\Brenk\Dorvo' PathUser '"/x"' NoSound dword:00000001

check "a value of the key's name in another key is not the key's" "REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo\\Sub]
\"PathUser\"=\"/keep\"
" "REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo\\Sub]
\"PathUser\"=\"/keep\"

$dorvo
\"PathUser\"=\"/new\"" \
    'Software\Brenk\Dorvo' PathUser '"/new"'

check "empty store" "" "REGEDIT4

$zamrik
\"MyPass\"=\"d\"" \
    'Software\Brenk\Zamrik' MyPass '"d"'

# The store's owner, group and mode stay; an unchanged store is not replaced.
rm -rf "$work/etc"
mkdir -m 2770 "$work/etc"
printf 'REGEDIT4\n\n%s\n"AdmConf"="5|2|2|2"\n' "$dorvo" >"$store"
chown 0:1 "$store"
chmod 0660 "$store"
inode=$(stat -c %i "$store")
zelvo_store_set "$store" 'Software\Brenk\Dorvo' AdmConf '"5|2|2|2"'
[ "$(stat -c %i "$store")" = "$inode" ] || failed "an unchanged store was replaced"
zelvo_store_set "$store" 'Software\Brenk\Dorvo' AdmConf '"6|2|2|2"'
[ "$(stat -c '%u %g %a' "$store")" = "0 1 660" ] || failed "owner and mode: $(stat -c '%u %g %a' "$store")"

# A link in the store's place is left alone and the step fails.
ln -sf "$work/target" "$store"
if zelvo_store_set "$store" 'Software\Brenk\Dorvo' AdmConf '"6|2|2|2"' 2>/dev/null; then
    failed "a link in the store's place was written"
fi
[ ! -e "$work/target" ] || failed "written through a link"
rm -f "$store"

# Values read back as the program reads them: the last line naming the value.
printf 'REGEDIT4\r\n\r\n%s\r\n"pathuser"="/a"\r\n"PathUser"="/b \\"q\\" \\\\"\r\n"NoSound"=dword:0000000A\r\n"Bad"="x\r\n' "$dorvo" >"$store"
for case in 'PathUser|s:/b "q" \' 'NoSound|d:10' 'AdmConf|' 'Bad|'; do
    got=$(zelvo_store_value "$store" 'Software\Brenk\Dorvo' "${case%%|*}")
    [ "$got" = "${case#*|}" ] || failed "read ${case%%|*}: \"$got\""
done

# Scoring texts: accepted ones as the program writes them, refused ones.
for case in '5|2|2|2=5|2|2|2' '0|0|1|1=0|0|1|1' '007|2|50|3=7|2|50|3' \
    '2147483647|1|1|1=2147483647|1|1|1' '2147483648|1|1|1=' '5|2|0|2=' '5|2|2|51=' \
    '5|2|2=' '5|2|2|2|2=' '5|-2|2|2=' ' 5|2|2|2=' '5|2|2|x=' '=' '5|2|2|2
5|2|2|2='; do
    got=$(zelvo_scoring_text "${case%%=*}") || got=
    [ "$got" = "${case#*=}" ] || failed "scoring \"${case%%=*}\": \"$got\""
done

# Class folders: a full path without the separators at its end.
for case in '/mnt/zelvo=/mnt/zelvo' '/mnt/zelvo//=/mnt/zelvo' '/=/' '///=/' 'mnt/zelvo=' '=' \
    "/a${cr}b=" '/a
b='; do
    got=$(zelvo_folder_text "${case%%=*}") || got=
    [ "$got" = "${case#*=}" ] || failed "class folder \"${case%%=*}\": \"$got\""
done

# The program's reader finds the class folder written into a CR LF store.
if [ -n "$driver" ]; then
    printf 'REGEDIT4\r\n\r\n%s\r\n"PATHUSER"="/old"\r\n' "$dorvo" >"$store"
    zelvo_store_set "$store" 'Software\Brenk\Dorvo' PathUser "$(zelvo_store_string '/mnt/a "b"')"
    got=$(ZELVO_MACHINE_STORE=$store "$driver" path-user)
    [ "$got" = '/mnt/a "b"' ] || failed "the program reads the class folder \"$got\""
fi

[ "$failures" -eq 0 ] || exit 1
echo "ok"
