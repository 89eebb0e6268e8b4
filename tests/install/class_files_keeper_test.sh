#!/bin/sh
# The teacher's menu entries' script with the real zelvo-export, after the
# class folder was set up as the package sets it up: an account in no group
# is asked for ADM's password in a window and gets the class's results
# through the keeper; a wrong password shows zelvo-export's message and opens
# nothing; a cancelled window opens and shows nothing; a teacher in the group
# is asked nothing. Only the windows and the opener are stand-ins.
#   class_files_keeper_test.sh ZELVO_EXPORT KEEPER KEEPER_CLIENT DRIVER INSTALL_STEPS SCRIPT
#                                                       (root; exit 77 = skipped)
set -eu
export_program=$1
keeper=$2
keeper_client=$3
driver=$4
. "$5"
script=$6

. "$(dirname "$0")/test_accounts.sh"
test_group=zlvk$$
pupil=zlvp$$
teacher=zlvq$$
member=zlvr$$
class=$work/class
store=$work/etc/machine.reg
zelvo_class_folder "$class" "$test_group"
zelvo_default_path_user "$store" "$class"
zelvo_close_store "$store" "$test_group"
cp "$keeper" "$work/zelvo-keeper"
zelvo_keeper_mode "$work/zelvo-keeper" "$test_group"
cp "$driver" "$work/driver"
mkdir "$work/program" "$work/bin"
cp "$export_program" "$work/program/zelvo-export"
cp "$script" "$work/program/zelvo-class-files"
chmod 0755 "$work/program/zelvo-class-files"
add_accounts "$pupil" "$teacher" "$member"
usermod -a -G "$test_group" "$member"

runuser -u "$pupil" -- env ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
    QT_QPA_PLATFORM=offscreen "$work/driver" new anna a1 "Анна Петрова" || fail "anna not created"
runuser -u "$pupil" -- env ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
    QT_QPA_PLATFORM=offscreen "$work/driver" finish anna a1 12 60 1 || fail "anna's exercise not stored"
set_password=$(ZELVO_MACHINE_STORE="$store" "$keeper_client" "$work/zelvo-keeper" \
    "adm " "password  Секрет1")
case $set_password in
ok*ok*) ;;
*) fail "ADM's password not set through the keeper: $set_password" ;;
esac

# Stand-ins: the password window answers what $work/answer holds ("cancel":
# cancelled); every window and every opened file is logged in $work/log.
mkdir -m 0777 "$work/log"
cat >"$work/bin/zenity" <<STUB
#!/bin/sh
printf '%s\n' "\$@" >>"$work/log/zenity"
case \$1 in
--entry) [ "\$(cat "$work/answer")" = cancel ] && exit 1; cat "$work/answer" ;;
esac
exit 0
STUB
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$1" >>"$work/log/opened"
STUB
cat >"$work/bin/xdg-user-dir" <<'STUB'
#!/bin/sh
echo "$HOME/Документы"
STUB
chmod 0755 "$work/bin/"*

today=$(date +%Y-%m-%d)
# account | password answer | file opened ("-" none) | text in the error window ("-" none)
while IFS='|' read -r account answer opened error; do
    case_name="$account $answer"
    home=$work/home-$account
    rm -rf "$home" "$work/log/"*
    mkdir "$home"
    chown "$account" "$home"
    printf '%s\n' "$answer" >"$work/answer"
    status=0
    runuser -u "$account" -- env -u WAYLAND_DISPLAY DISPLAY=:7 HOME="$home" \
        PATH="$work/bin:/usr/bin:/bin" ZELVO_MACHINE_STORE="$store" ZELVO_KEEPER="$work/zelvo-keeper" \
        "$work/program/zelvo-class-files" summary </dev/null 2>"$work/stderr" || status=$?
    if [ "$opened" = - ]; then
        [ ! -e "$work/log/opened" ] || fail "$case_name: opened $(cat "$work/log/opened")"
        [ "$status" -ne 0 ] || fail "$case_name: exit status 0"
    else
        file=$home/Документы/$opened
        [ "$(cat "$work/log/opened" 2>/dev/null)" = "$file" ] ||
            fail "$case_name: opened '$(cat "$work/log/opened" 2>/dev/null)': $(cat "$work/stderr")"
        grep -qF '"anna"' "$file" || fail "$case_name: no anna in $(cat "$file")"
    fi
    if [ "$account" = "$member" ]; then
        ! grep -qx -- --entry "$work/log/zenity" 2>/dev/null || fail "$case_name: asked for a password"
    else
        grep -qx -- --entry "$work/log/zenity" 2>/dev/null || fail "$case_name: no password window"
    fi
    if [ "$error" = - ]; then
        ! grep -qx -- --error "$work/log/zenity" 2>/dev/null || fail "$case_name: an error window"
    else
        grep -qF "$error" "$work/log/zenity" 2>/dev/null || fail "$case_name: '$error' not in a window"
    fi
done <<CASES
$teacher|Секрет1|Результаты Zelvo $today.csv|-
$teacher|wrong|-|wrong ADM password
$teacher|cancel|-|-
$member|-|Результаты Zelvo $today.csv|-
CASES
echo "the menu entries' script through the keeper: ok"
