#!/bin/sh
# The teacher's menu entries: each entry is valid, and its command, run with
# stand-ins for zelvo-export (beside the script, where it looks), zenity,
# xdg-open and xdg-user-dir, writes a dated file into the documents folder
# (made when missing, never over an older file) and opens it; ADM's password,
# asked only when zelvo-export needs it, reaches zelvo-export on its standard
# input alone; a cancelled password opens and shows nothing; any failure shows
# zelvo-export's messages and opens nothing.
#   class_files_test.sh SCRIPT DESKTOP_FOLDER
set -eu
script=$1
desktop=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

mkdir "$work/program" "$work/bin" "$work/home"
cp "$script" "$work/program/zelvo-class-files"
password='пароль с пробелом'
# zelvo-export as the case says ($FAKE_EXPORT): direct, password (the right
# password on the first line of stdin), or nofolder. Every run leaves its
# arguments, its input and its environment in $work/runs.
cat >"$work/program/zelvo-export" <<STUB
#!/bin/sh
mkdir -p "$work/runs"
n=\$(ls "$work/runs" | grep -c 'args$')
printf '%s\n' "\$@" >"$work/runs/\$n.args"
cat >"$work/runs/\$n.stdin"
env >"$work/runs/\$n.env"
output=\$3
case \$FAKE_EXPORT in
direct) ;;
password)
    if [ ! -s "$work/runs/\$n.stdin" ]; then
        echo "zelvo-export: пароль ADM не введён, ничего не выгружено / no ADM password given, nothing exported" >&2
        exit 1
    fi
    if [ "\$(cat "$work/runs/\$n.stdin")" != "$password" ]; then
        echo "zelvo-export: неверный пароль ADM, ничего не выгружено / wrong ADM password, nothing exported" >&2
        exit 1
    fi
    ;;
nofolder)
    echo "zelvo-export: нет папки класса /var/lib/zelvo" >&2
    exit 1
    ;;
esac
echo "\$1" >"\$output"
STUB
# zenity: the password window answers what $work/answer holds, or is
# cancelled when that is "cancel"; every call is logged one argument a line.
cat >"$work/bin/zenity" <<STUB
#!/bin/sh
printf '%s\n' "\$@" >>"$work/zenity.log"
case \$1 in
--entry) [ "\$(cat "$work/answer")" = cancel ] && exit 1; cat "$work/answer" ;;
esac
exit 0
STUB
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
STUB
printf '#!/bin/sh\necho "%s/home/Документы"\n' "$work" >"$work/bin/xdg-user-dir"
chmod +x "$work/program/"* "$work/bin/"*

today=$(date +%Y-%m-%d)
docs=$work/home/Документы
# The entries, with the path the installation fills in.
for entry in ClassReport ClassResults; do
    sed "s|@ZELVO_CLASS_FILES@|$work/program/zelvo-class-files|" \
        "$desktop/ru.zelvo.Zelvo.$entry.desktop.in" >"$work/$entry.desktop"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$work/$entry.desktop" || fail "$entry: desktop-file-validate"
    else
        echo "desktop-file-validate missing (scripts/setup installs it): not validated"
    fi
done

# entry | zelvo-export | password answer | files already there (";" between) | display |
# file opened ("-" none) | text in the error window or on stderr ("-" none)
while IFS='|' read -r entry mode answer existing display opened error; do
    case_name="$entry $mode $answer $existing $display"
    rm -rf "$work/runs" "$work/zenity.log" "$work/opened" "$docs"
    printf '%s\n' "$answer" >"$work/answer"
    if [ "$existing" != - ]; then
        mkdir -p "$docs"
        old_ifs=$IFS
        IFS=';'
        for n in $existing; do touch "$docs/$n"; done
        IFS=$old_ifs
    fi
    exec_line=$(sed -n 's/^Exec=//p' "$work/$entry.desktop")
    if [ "$display" = yes ]; then set -- DISPLAY=:7; else set -- -u DISPLAY; fi
    status=0
    # shellcheck disable=SC2086 # the Exec line is a command and its argument
    env -u WAYLAND_DISPLAY "$@" HOME="$work/home" PATH="$work/bin:/usr/bin:/bin" \
        FAKE_EXPORT="$mode" $exec_line 2>"$work/stderr" || status=$?

    if [ "$opened" = - ]; then
        [ ! -e "$work/opened" ] || fail "$case_name: opened $(cat "$work/opened")"
        [ "$status" -ne 0 ] || fail "$case_name: exit status 0 though nothing was opened"
    else
        [ "$(cat "$work/opened" 2>/dev/null)" = "$docs/$opened" ] ||
            fail "$case_name: opened '$(cat "$work/opened" 2>/dev/null)', not '$docs/$opened'"
        [ -s "$docs/$opened" ] || fail "$case_name: $opened not written"
        [ "$status" -eq 0 ] || fail "$case_name: exit status $status"
        runs=$(find "$work/runs" -name '*.args' | wc -l)
        last=$((runs - 1))
        [ "$(cat "$work/runs/$last.args")" = "$(printf '%s\n' \
            "$([ "$entry" = ClassReport ] && echo report || echo summary)" --output "$docs/$opened")" ] ||
            fail "$case_name: zelvo-export called with $(cat "$work/runs/$last.args")"
    fi
    for f in "$work"/runs/*.args "$work"/runs/*.env "$work/zenity.log"; do
        if [ ! -e "$f" ] || [ "$answer" = - ] || [ "$answer" = cancel ]; then continue; fi
        ! grep -qF "$answer" "$f" || fail "$case_name: the password is in $(basename "$f")"
    done
    if [ "$mode" = password ] && [ "$display" = yes ]; then
        [ "$(cat "$work/runs/0.stdin")" = "" ] || fail "$case_name: the first run got input"
        grep -qF 'Пароль ADM' "$work/zenity.log" 2>/dev/null || fail "$case_name: no password window"
        if [ "$answer" != cancel ]; then
            [ "$(cat "$work/runs/1.stdin")" = "$answer" ] ||
                fail "$case_name: the second run got '$(cat "$work/runs/1.stdin")' on stdin"
        fi
    elif grep -qx -- '--entry' "$work/zenity.log" 2>/dev/null; then
        fail "$case_name: a password window though none was needed or could be shown"
    fi
    if [ "$error" = - ]; then
        ! grep -qx -- '--error' "$work/zenity.log" 2>/dev/null || fail "$case_name: an error window"
    else
        grep -qF "$error" "$work/stderr" || fail "$case_name: '$error' not on stderr: $(cat "$work/stderr")"
        if [ "$display" = yes ]; then
            if ! grep -qx -- '--error' "$work/zenity.log" 2>/dev/null ||
                ! grep -qF "$error" "$work/zenity.log"; then
                fail "$case_name: '$error' not in an error window"
            fi
        fi
    fi
done <<CASES
ClassReport|direct|-|-|yes|Отчёт Zelvo $today.html|-
ClassResults|direct|-|-|yes|Результаты Zelvo $today.csv|-
ClassResults|password|$password|-|yes|Результаты Zelvo $today.csv|-
ClassReport|password|cancel|-|yes|-|-
ClassReport|password|не тот 42|-|yes|-|wrong ADM password
ClassResults|password|-|-|no|-|no ADM password given
ClassReport|nofolder|-|-|yes|-|нет папки класса
ClassReport|direct|-|Отчёт Zelvo $today.html;Отчёт Zelvo $today (2).html|yes|Отчёт Zelvo $today (3).html|-
ClassResults|direct|-|Отчёт Zelvo $today.csv;Результаты Zelvo $today.csv|yes|Результаты Zelvo $today (2).csv|-
CASES

[ "$failures" -eq 0 ] && echo "teacher's menu entries: ok"
