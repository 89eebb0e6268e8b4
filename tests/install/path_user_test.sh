#!/bin/sh
# The package's step that points "PathUser" at the class folder, on stores of
# several shapes: the program's own reader must then find the folder, and
# every other line of the store must stay as it was.
#   path_user_test.sh DRIVER INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
steps=$2
. "$steps"
# The step works only in root's own folders.
[ "$(id -u)" -eq 0 ] || { echo "needs root: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
store=$work/etc/machine.reg
failures=0

# check NAME FOLDER EXPECTED_STORE_TEXT: runs the step on the store as it is
# now and compares the folder the program reads and the store's text.
check() {
    zelvo_default_path_user "$store" "$2"
    read_back=$(ZELVO_MACHINE_STORE=$store "$driver" path-user)
    if [ "$read_back" != "$4" ] || [ "$(cat "$store")" != "$3" ]; then
        echo "FAILED: $1: reads \"$read_back\", store:" >&2
        cat "$store" >&2
        failures=$((failures + 1))
    fi
    rm -rf "$work/etc"
}
# put TEXT: the store's text before the step
put() {
    mkdir -p "$work/etc"
    printf '%s' "$1" >"$store"
}

check "no store" /var/lib/zelvo 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"PathUser"="/var/lib/zelvo"' /var/lib/zelvo

put 'REGEDIT4
'
check "header only" /var/lib/zelvo 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"PathUser"="/var/lib/zelvo"' /var/lib/zelvo

put 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Zamrik]
"MyPass"="123"

[hkey_local_machine\software\brenk\DORVO]
"AdmConf"="7|2|3|2"
"NoSound"=dword:00000001
'
check "other values kept" /var/lib/zelvo 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Zamrik]
"MyPass"="123"

[hkey_local_machine\software\brenk\DORVO]
"PathUser"="/var/lib/zelvo"
"AdmConf"="7|2|3|2"
"NoSound"=dword:00000001' /var/lib/zelvo

put 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"AdmConf"="5|2|2|2"
"pathuser"="/srv/class"
'
check "a folder set already stays" /var/lib/zelvo 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"AdmConf"="5|2|2|2"
"pathuser"="/srv/class"' /srv/class

put 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Zamrik]
"PathUser"="/elsewhere"
'
check "a value of another key does not count" /var/lib/zelvo 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Zamrik]
"PathUser"="/elsewhere"

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"PathUser"="/var/lib/zelvo"' /var/lib/zelvo

put "$(printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\r\n"NoSound"=dword:00000000\r\n')"
check "CRLF lines" /var/lib/zelvo "$(printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\r\n"PathUser"="/var/lib/zelvo"\n"NoSound"=dword:00000000\r')" /var/lib/zelvo

check "quote and backslash in the folder" '/srv/a"b\c' 'REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Brenk\Dorvo]
"PathUser"="/srv/a\"b\\c"' '/srv/a"b\c'

# The store keeps its mode: its read and write bits (an owner may have set
# the others).
for modes in "640 640" "6775 664" "1711 600"; do
    put 'REGEDIT4
'
    chmod "${modes% *}" "$store"
    zelvo_default_path_user "$store" /var/lib/zelvo
    [ "$(stat -c %a "$store")" = "${modes#* }" ] || { echo "FAILED: mode ${modes% *} became $(stat -c %a "$store")" >&2; failures=$((failures + 1)); }
    [ -z "$(find "$work/etc" -name 'machine.reg?*')" ] || { echo "FAILED: temporary left" >&2; failures=$((failures + 1)); }
    rm -rf "$work/etc"
done

# Something else in the store's place is reported and left as it is; the
# step neither hangs on a pipe nor follows a link.
printf 'kept\n' >"$work/other"
for shape in pipe link folder; do
    rm -rf "$work/etc"
    mkdir "$work/etc"
    case $shape in
    pipe) mkfifo "$store" ;;
    link) ln -s "$work/other" "$store" ;;
    folder) mkdir "$store" ;;
    esac
    if ! timeout 20 sh -c '. "$1"; zelvo_default_path_user "$2" /var/lib/zelvo' sh "$steps" "$store" 2>/dev/null ||
        [ "$(stat -c %F "$store")" != "$(case $shape in pipe) echo fifo ;; link) echo symbolic link ;; folder) echo directory ;; esac)" ] ||
        [ "$(cat "$work/other")" != kept ] || [ "$(ls -A "$work/etc")" != machine.reg ]; then
        echo "FAILED: a $shape in the store's place: $(ls -la "$work/etc")" >&2
        failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ] && echo "PathUser step: ok"
