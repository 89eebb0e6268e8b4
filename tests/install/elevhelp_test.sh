#!/bin/sh
# ELEVHELP.exe grants nothing any more: started from the program by an
# account it tells the user, in Russian, that ADM saves through the program
# (in a message box where zenity or kdialog is there, else as a desktop
# notification, and on stderr), and "--grant", as scripts of earlier versions
# call it under pkexec, sudo or root, says the same. Whoever starts it, it
# asks for no password, the store and its folder stay as they are, and the
# account still cannot save the store.
#   elevhelp_test.sh DRIVER ELEVHELP INSTALL_STEPS    (root; exit 77 = skipped)
set -eu
driver=$1
elevhelp=$2
. "$3"

command -v setfacl >/dev/null || { echo "needs setfacl: skipped"; exit 77; }
. "$(dirname "$0")/test_accounts.sh"
test_group=zlvj$$
carol=zlvd$$
add_accounts "$carol"
groupadd --system "$test_group"
cp "$driver" "$work/driver"
cp "$elevhelp" "$work/ELEVHELP.exe"
store=$work/etc/machine.reg
zelvo_default_path_user "$store" /var/lib/zelvo
zelvo_close_store "$store" "$test_group"
message="Zelvo: больше ничего делать не нужно. ADM сохраняет установки через программу после ввода пароля ADM."

# state: the store and its folder as they are (content, owner, mode, ACL)
state() {
    stat -c '%n %u %g %a' "$work/etc" "$store"
    cksum <"$store"
    getfacl -cp "$work/etc" "$store"
}
before=$(state)
# tools NAME...: a folder of stand-ins that log how they were called; the
# folder is all of PATH (the script needs nothing but its shell's builtins)
tools() {
    rm -rf "$work/bin"
    mkdir "$work/bin"
    for tool in "$@" pkexec sudo x-terminal-emulator; do
        printf '#!/bin/sh\nprintf "%%s|" "${0##*/}" "$@" >>"%s/called"\necho >>"%s/called"\n' "$work" "$work" >"$work/bin/$tool"
        chmod 0755 "$work/bin/$tool"
    done
    rm -f "$work/called"
    : >"$work/called"
    chmod 0666 "$work/called"
}

# Started from the program: no terminal, a display. Each case: the tools
# there, and the one call expected ("" for none).
while IFS=: read -r there expected; do
    tools $there
    said=$(runuser -u "$carol" -- env -i PATH="$work/bin" DISPLAY=:0 "$work/ELEVHELP.exe" 2>&1 </dev/null) ||
        fail "with $there: it failed"
    [ "$said" = "$message" ] || fail "with $there: stderr: $said"
    called=$(cat "$work/called")
    case $expected in
    zenity) want="zenity|--info|--title=Zelvo|--text=$message|" ;;
    kdialog) want="kdialog|--title|Zelvo|--msgbox|$message|" ;;
    notify-send) want="notify-send|Zelvo|$message|" ;;
    *) want= ;;
    esac
    [ "$called" = "$want" ] || fail "with $there: called
$called"
done <<CASES
zenity kdialog notify-send:zenity
kdialog notify-send:kdialog
notify-send:notify-send
:
CASES
# Without a display it shows nothing but its text.
tools zenity
said=$(runuser -u "$carol" -- env -i PATH="$work/bin" "$work/ELEVHELP.exe" 2>&1 </dev/null)
[ "$said" = "$message" ] && [ ! -s "$work/called" ] || fail "without a display: $said, called $(cat "$work/called")"

# The grant of earlier versions, as scripts call it: the same text, nothing
# called, nothing granted.
tools zenity
while IFS=: read -r vars args; do
    said=$(env PATH="$work/bin" DISPLAY=:0 $vars "$work/ELEVHELP.exe" $args 2>&1 </dev/null) ||
        fail "$vars $args: it failed"
    [ "$said" = "$message" ] || fail "$vars $args: it says: $said"
done <<CALLS
:--grant $carol
:--grant
PKEXEC_UID=$(id -u "$carol"):--grant
SUDO_UID=$(id -u "$carol"):--grant $carol
:--grant $carol $store
CALLS
[ ! -s "$work/called" ] || fail "the grants called: $(cat "$work/called")"
runuser -u "$carol" -- "$work/ELEVHELP.exe" --grant "$carol" 2>/dev/null || fail "--grant run by carol fails"

[ "$(state)" = "$before" ] || fail "the store or its folder changed:
$(state)"
runuser -u "$carol" -- env ZELVO_MACHINE_STORE="$store" "$work/driver" save-settings "7|2|2|2" 2>/dev/null &&
    fail "carol saves the store"
echo "ELEVHELP.exe grants nothing and says so: ok"
