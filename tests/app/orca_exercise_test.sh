#!/bin/bash
# A blind pupil's whole exercise: Orca beside the program under Xvfb with a
# window manager, speech off and everything it would say in its debug file;
# the pupil logs in, starts an exercise and answers from the keyboard alone,
# one answer wrong and corrected, a pause in between. What Orca says must name
# the login fields by their labels, speak every example as it appears, the
# verdict on the wrong answer with the correction it demands, the pause boxes,
# the end and the records window with the new row, and never a designer name.
#   orca_exercise_test.sh PROGRAM CLASS_DRIVER
# Exit 77 (skipped) where Orca, openbox, xdotool, dbus-x11, at-spi2-core or
# Xvfb is missing. KEEP=1 keeps the work folder with Orca's whole log.
set -u
program=$1
driver=$2
for tool in orca openbox Xvfb xdotool dbus-launch; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher 2>/dev/null | head -1)
[ -n "$launcher" ] || { echo "at-spi-bus-launcher is not installed: skipped"; exit 77; }

work=$(mktemp -d)
pids=
finish() {
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
    sleep 0.3
    if [ -n "${KEEP:-}" ]; then echo "kept: $work" >&2; else rm -rf "$work"; fi
}
trap finish EXIT
fail() {
    echo "FAILED: $*" >&2
    echo "--- what Orca said:" >&2
    spoken >&2
    exit 1
}

# A home, store and class folder of the test's own, and a pupil.
mkdir -p "$work/class"
export ZELVO_MACHINE_STORE=$work/machine.reg
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"PathUser"="%s"\n"NoSound"=dword:00000001\n' \
    "$work/class" >"$ZELVO_MACHINE_STORE"
unset ZELVO_ACCESSIBLE_IDS ZELVO_KEEPER
QT_QPA_PLATFORM=offscreen "$driver" new anna a1 "Анна" >/dev/null 2>&1 || fail "the pupil could not be created"

# The desktop: a display, a session bus, the accessibility bus, a window manager, Orca.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids="$pids $!"
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
eval "$(dbus-launch --sh-syntax)"
unset QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
pids="$pids $!"
"$launcher" --launch-immediately >/dev/null 2>&1 &
pids="$pids $!"
sleep 1
log=$work/orca.log
# Orca writes its debug file through a buffer, except to a terminal, where
# every line goes out at once: `script` gives it one and writes what comes
# there to the log without delay.
script -qfec "orca --replace -d speech -d braille --debug-file /dev/tty" "$log" </dev/null >/dev/null 2>&1 &
pids="$pids $!"

spoken() { grep -a "SPEECH OUTPUT" "$log" 2>/dev/null | sed "s/.*SPEECH OUTPUT: '//; s/'[ ]*{.*//"; }
count() { spoken | grep -ac -- "$1"; }
# waitfor TEXT N: until TEXT has been said more than N times (60 s at most)
waitfor() {
    for _ in $(seq 1 240); do
        [ "$(count "$1")" -gt "$2" ] && return 0
        sleep 0.25
    done
    return 1
}
key() { xdotool key "$@"; sleep 0.7; }
last_example() { spoken | grep -ao 'Пример: [0-9]*[-+][0-9]*' | tail -1 | sed 's/Пример: //'; }

for _ in $(seq 1 60); do grep -aq "Startup complete" "$log" 2>/dev/null && break; sleep 0.25; done
sleep 2
"$program" >"$work/program.log" 2>&1 &
pids="$pids $!"
waitfor 'Zelvo   v2.6 frame' 0 || fail "the main window was not spoken"
xdotool search --sync --name 'Zelvo   v2.6' windowactivate --sync >/dev/null 2>&1
sleep 0.5

# The login: F10, "Начать", "Вход со своим именем".
key F10
key Return
key Return
waitfor 'Ник editable combo box' 0 || fail "the nick field was not spoken by its label"
key ctrl+a
xdotool type anna
key Tab
waitfor 'Пароль password text' 0 || fail "the password field was not spoken by its label"
xdotool type a1
key Return
sleep 1

# The range chooser: F10, over to "Установки", "Установки пользователя"; the
# range in use is checked, OK keeps it.
key F10
key Right
key Right
for _ in 1 2 3; do
    [ "$(count 'Установки пользователя')" -gt 0 ] && break
    key Down
done
key Return
waitfor 'В каком промежутке будем упражнятся' 0 || fail "the range chooser was not spoken"
waitfor '0-20' 0 || fail "the range in use was not spoken"
key Tab
waitfor 'OK push button' 0 || fail "the range chooser's OK was not spoken"
key Return
sleep 1

# The exercise: F10, "Начать", "Начать Изучение", target 3, "Приготовились!" OK.
key F10
key Return
key Down
key Return
waitfor 'Введите до скольки очков' 0 || fail "the target box was not spoken with its prompt"
xdotool type 3
key Return
waitfor 'Приготовились' 0 || fail "the start box was not spoken"
key Return
waitfor 'Пример: ' 0 || fail "the first example was not spoken"

played=0
for round in $(seq 1 12); do
    examples=$(count 'Пример: ')
    records=$(count 'Таблица рекордов')
    example=$(last_example)
    answer=$((example))
    if [ "$round" -eq 1 ]; then
        xdotool type 999
        key Return
        waitfor 'Неверно' 0 || fail "the verdict on a wrong answer was not spoken"
        spoken | grep -aq "Введите правильный ответ: $example" || fail "the correction demanded was not spoken"
        xdotool type "$answer"
    elif [ "$round" -eq 2 ]; then
        # The pause: asked for with Esc, taken once the example is answered.
        key Escape
        waitfor 'Решите текущий пример и немного отдохнем' 0 || fail "the pause request was not spoken"
        key Return
        xdotool type "$answer"
        key Return
        waitfor 'Нажмите OK для продолжения тренировки' 0 || fail "the pause box was not spoken"
        key Return
    else
        xdotool type "$answer"
        key Return
    fi
    played=$round
    # The next example, or the records window once the target is reached.
    next=
    for _ in $(seq 1 240); do
        [ "$(count 'Пример: ')" -gt "$examples" ] && next=example && break
        [ "$(count 'Таблица рекордов')" -gt "$records" ] && next=end && break
        sleep 0.25
    done
    [ -n "$next" ] || fail "nothing was spoken after the answer to $example"
    [ "$next" = end ] && break
done
waitfor 'Таблица рекордов в интервале (0-20)' 0 || fail "the records window was not spoken"
sleep 1

# Tab leaves the table, past the sorting to OK, which closes the window.
oks=$(count 'OK push button')
frames=$(count 'Zelvo   v2.6 frame')
for _ in 1 2 3 4 5; do
    [ "$(count 'OK push button')" -gt "$oks" ] && break
    key Tab
done
[ "$(count 'OK push button')" -gt "$oks" ] || fail "the records window's OK was not reached"
key Return
waitfor 'Zelvo   v2.6 frame' "$frames" || fail "the records window did not close back to the main window"

# One example spoken for each answered: four right answers after the wrong one
# reach the target of 3.
[ "$played" -eq 5 ] || fail "the exercise took $played examples, expected 5"
[ "$(count 'Пример: ')" -eq "$played" ] || fail "$(count 'Пример: ') examples spoken for $played shown"
spoken | grep -aq 'Верно. Очки за ответ: +1. Очки: 3. Упражнение окончено.' || fail "the end was not spoken"
spoken | grep -aq 'Ваш результат в строке 1 из 1' || fail "the new row's place was not spoken"
if spoken | grep -aE '(^|[^[:alnum:]])(Form|Edit|Button|ComboBox|StaticText|RadioButton|CheckBox|SpeedButton|StringGrid|GroupBox|Timer|MediaPlayer|MainMenu|N|ADM)[0-9]+([^[:alnum:]]|$)'; then
    fail "a designer name was spoken"
fi
echo "--- what Orca said:"
spoken | grep -av -e " $" -e "^.$"
echo "orca exercise test: passed"
