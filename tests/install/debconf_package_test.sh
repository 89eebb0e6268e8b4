#!/usr/bin/env bash
# Installs the built package into a minimal Debian 12 (a chroot) as a lab's
# machines get it: answers preseeded with debconf-set-selections, no
# questions (DEBIAN_FRONTEND=noninteractive). Checks the store (ADM's
# password digest, "PathUser", "AdmConf", "NoSound"), that the debconf
# database keeps no password, that dpkg-reconfigure with new answers changes
# the store, without them keeps what ADM changed, and refuses a scoring the
# program would refuse; the HTML help is installed. Prints its time.
#   debconf_package_test.sh DEB     (root; exit 77 = skipped: no debootstrap or network)
# The minimal system is kept as a tarball in $ZELVO_TEST_CACHE
# (/var/cache/zelvo-test), with the package lists and the packages apt
# fetched for it.
set -euo pipefail
deb=$(realpath "$1")
cache=${ZELVO_TEST_CACHE:-/var/cache/zelvo-test}
mirror=${ZELVO_TEST_MIRROR:-http://deb.debian.org/debian}
started=$(date +%s)

skip() {
    echo "$*: skipped"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root"
command -v debootstrap >/dev/null || skip "needs debootstrap (apt-get install debootstrap)"
host=${mirror#*://}
host=${host%%/*}
timeout 10 bash -c "exec 3<>/dev/tcp/$host/80" 2>/dev/null || skip "no network to $host"

root=$(mktemp -d /var/tmp/zelvo-chroot.XXXXXX)
chmod 0755 "$root"
cleanup() {
    for mount in "$root/var/cache/apt/archives" "$root/var/lib/apt/lists" "$root/proc"; do
        ! mountpoint -q "$mount" || umount -l "$mount"
    done
    [ -n "${ZELVO_TEST_KEEP:-}" ] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

mkdir -p "$cache/archives/partial" "$cache/lists/partial"
tarball=$cache/bookworm-minbase.tgz
if [ ! -s "$tarball" ]; then
    debootstrap --variant=minbase --make-tarball="$tarball.part" bookworm "$root/make" "$mirror" >/dev/null
    mv -f "$tarball.part" "$tarball"
    rm -rf "$root/make"
fi
debootstrap --variant=minbase --unpack-tarball="$tarball" bookworm "$root" "$mirror" >/dev/null
mount -t proc proc "$root/proc"
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
mount --bind "$cache/lists" "$root/var/lib/apt/lists"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
store=$root/etc/zelvo/machine.reg
preseed() {
    printf '%s\n' "$@" | in_root debconf-set-selections
}
# The store's value line NAME=...; exactly one of it.
has_line() {
    [ "$(grep -cxF -- "$1" "$store")" = 1 ] || fail "$2: no line $1 in the store:
$(cat "$store")"
}
# The debconf database and its backups keep no PASSWORD.
no_password_kept() {
    if grep -rlF -- "$1" "$root/var/cache/debconf"; then
        fail "$2: the debconf database keeps ADM's password"
    fi
}

# ADM's digest comes from zelvo-export --password-digest; a package whose
# zelvo-export lacks it gets a stand-in of the same interface.
unpacked=$root/tmp/unpacked
dpkg-deb -x "$deb" "$unpacked"
if [ -n "$(printf 'x\n' | "$unpacked/opt/zelvo/zelvo-export" --password-digest 2>/dev/null)" ]; then
    echo "digest: the package's zelvo-export --password-digest"
else
    echo "digest: zelvo-export has no --password-digest yet: a stand-in"
    in_root dpkg-divert --quiet --local --rename --divert /opt/zelvo/zelvo-export.real --add /opt/zelvo/zelvo-export
    mkdir -p "$root/opt/zelvo"
    printf '#!/bin/sh\n[ "$1" = --password-digest ] || exec /opt/zelvo/zelvo-export.real "$@"\nIFS= read -r p\nprintf "digest \\"%%s\\" %%s\\n" "$p" "$(printf %%s "$p" | md5sum | cut -c1-8)"\n' \
        >"$root/opt/zelvo/zelvo-export"
    chmod 0755 "$root/opt/zelvo/zelvo-export"
fi
rm -rf "$unpacked"
digest_of() {
    printf '%s\n' "$1" | in_root /opt/zelvo/zelvo-export --password-digest
}
store_string() {
    printf '"%s"' "$(printf '%s' "$1" | sed 's/[\\"]/\\&/g')"
}

# First installation, with the answers a lab's preseed file gives.
password='Учитель 5 "Б"'
preseed "zelvo zelvo/adm-password password $password" \
    "zelvo zelvo/class-folder string /mnt/zelvo/" \
    "zelvo zelvo/scoring string 7|3|4|1" \
    "zelvo zelvo/sounds boolean false"
cp "$deb" "$root/tmp/zelvo.deb"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends /tmp/zelvo.deb >"$root/tmp/install.log" 2>&1 ||
    fail "installation: $(cat "$root/tmp/install.log")"
has_line "\"MyPass\"=$(store_string "$(digest_of "$password")")" "installation"
has_line '"PathUser"="/mnt/zelvo"' "installation"
has_line '"AdmConf"="7|3|4|1"' "installation"
has_line '"NoSound"=dword:00000001' "installation"
mode=$(in_root stat -c '%U:%G %a' /etc/zelvo/machine.reg)
[ "$mode" = "root:zelvo 660" ] || fail "store: $mode"
no_password_kept "$password" "installation"
for page in index.html lab.html teacher.html; do
    [ -s "$root/usr/share/doc/zelvo/html/$page" ] || fail "no /usr/share/doc/zelvo/html/$page"
done

# ADM changes the scoring in the program; a reconfiguration with no new
# answers keeps it and ADM's password.
sed -i 's/"AdmConf"="7|3|4|1"/"AdmConf"="9|1|3|3"/' "$store"
in_root dpkg-reconfigure -f noninteractive zelvo
has_line '"AdmConf"="9|1|3|3"' "reconfiguration without answers"
has_line "\"MyPass\"=$(store_string "$(digest_of "$password")")" "reconfiguration without answers"
has_line '"PathUser"="/mnt/zelvo"' "reconfiguration without answers"

# New answers change the store.
password2='новый\пароль'
preseed "zelvo zelvo/adm-password password $password2" \
    "zelvo zelvo/class-folder string /var/lib/zelvo" \
    "zelvo zelvo/scoring string 5|2|2|2" \
    "zelvo zelvo/sounds boolean true"
in_root dpkg-reconfigure -f noninteractive zelvo
has_line "\"MyPass\"=$(store_string "$(digest_of "$password2")")" "reconfiguration"
has_line '"PathUser"="/var/lib/zelvo"' "reconfiguration"
has_line '"AdmConf"="5|2|2|2"' "reconfiguration"
has_line '"NoSound"=dword:00000000' "reconfiguration"
no_password_kept "$password2" "reconfiguration"

# A scoring the settings window refuses is refused with its reason and not
# written; the other answers are, and the password is not kept.
password3='третий'
preseed "zelvo zelvo/adm-password password $password3" "zelvo zelvo/scoring string 5|2|0|2" \
    "zelvo zelvo/sounds boolean false"
in_root dpkg-reconfigure -f noninteractive zelvo >/dev/null 2>"$root/tmp/refused.log" ||
    fail "reconfiguration with a refused scoring: $(cat "$root/tmp/refused.log")"
grep -qF 'zelvo/scoring "5|2|0|2": Неправильно заполненые параметры (см документацию)' "$root/tmp/refused.log" ||
    fail "refused without the reason: $(cat "$root/tmp/refused.log")"
has_line '"AdmConf"="5|2|2|2"' "refused scoring"
has_line '"NoSound"=dword:00000001' "refused scoring"
has_line "\"MyPass\"=$(store_string "$(digest_of "$password3")")" "refused scoring"
no_password_kept "$password3" "refused scoring"

# Asked in a terminal (debconf's plain text frontend, which offers no
# defaults): an empty password keeps ADM's, and a refused scoring is shown
# with its reason and asked again alone.
printf '%s\n' "" "/var/lib/zelvo" "5|2|0|2" "yes" "8|2|2|2" |
    in_root env DEBIAN_FRONTEND=readline TERM=dumb dpkg-reconfigure zelvo >"$root/tmp/asked.log" 2>&1 ||
    fail "asked in a terminal: $(cat "$root/tmp/asked.log")"
[ "$(grep -c '^Scoring (right streak|wrong streak|bonus|penalty):' "$root/tmp/asked.log")" = 2 ] &&
    [ "$(grep -c '^Password of ADM' "$root/tmp/asked.log")" = 1 ] &&
    grep -qF "Неправильно заполненые параметры (см" "$root/tmp/asked.log" ||
    fail "asked in a terminal: $(cat "$root/tmp/asked.log")"
has_line '"AdmConf"="8|2|2|2"' "asked in a terminal"
has_line '"PathUser"="/var/lib/zelvo"' "asked in a terminal"
has_line '"NoSound"=dword:00000000' "asked in a terminal"
has_line "\"MyPass\"=$(store_string "$(digest_of "$password3")")" "asked in a terminal"

# Purging removes the answers with the store.
preseed "zelvo zelvo/scoring string 5|2|2|2"
in_root apt-get purge -y -qq zelvo >/dev/null 2>&1 || fail "purge"
[ ! -e "$store" ] || fail "the store survived the purge"
if grep -rqF "zelvo/scoring" "$root/var/cache/debconf/config.dat"; then
    fail "the answers survived the purge"
fi

echo "ok ($(($(date +%s) - started)) s)"
