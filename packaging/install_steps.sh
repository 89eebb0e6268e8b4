# Steps the package runs when it is configured, kept in one file so that the
# tests run the very same shell code (sourced by tests/install/*.sh). Their
# variables start with "zelvo_", so they leave the caller's variables alone.

# The class folder: a setgid folder owned by root and the group, writable by
# the group, so that the files any member creates there belong to the group
# and (the program sets the modes) stay writable for every member.
#   zelvo_class_folder FOLDER GROUP
zelvo_class_folder() {
    if ! getent group "$2" >/dev/null; then
        groupadd --system "$2"
    fi
    mkdir -p "$1"
    chown root:"$2" "$1"
    chmod 2775 "$1"
}

# Adds accounts to the group: the ones named, or with none named every
# ordinary account of /etc/passwd (UID range of /etc/adduser.conf, 1000 to
# 59999 by default) whose shell lets it log in. An account that cannot be
# changed is reported and left out.
#   zelvo_join_group GROUP [ACCOUNT...]
zelvo_join_group() {
    zelvo_group=$1
    shift
    if [ $# -eq 0 ]; then
        zelvo_first=1000
        zelvo_last=59999
        if [ -r /etc/adduser.conf ]; then
            zelvo_v=$(sed -n 's/^FIRST_UID=\([0-9][0-9]*\).*/\1/p' /etc/adduser.conf)
            zelvo_first=${zelvo_v:-$zelvo_first}
            zelvo_v=$(sed -n 's/^LAST_UID=\([0-9][0-9]*\).*/\1/p' /etc/adduser.conf)
            zelvo_last=${zelvo_v:-$zelvo_last}
        fi
        set -- $(awk -F: -v first="$zelvo_first" -v last="$zelvo_last" \
            '$3 >= first && $3 <= last && $7 !~ /(nologin|false)$/ { print $1 }' /etc/passwd)
    fi
    for zelvo_account in "$@"; do
        usermod -a -G "$zelvo_group" "$zelvo_account" ||
            echo "zelvo: $zelvo_account could not join the group $zelvo_group" >&2
    done
}

# Sets "PathUser" of the key Software\Brenk\Dorvo in the machine store to
# FOLDER when the store has no "PathUser" there; every other line stays as it
# is. A missing store is created. The store is replaced whole (temporary file,
# then a rename) and keeps its owner, mode and ACL.
#   zelvo_default_path_user STORE FOLDER
zelvo_default_path_user() {
    zelvo_store=$1
    zelvo_value=$(printf '%s' "$2" | sed 's/[\\"]/\\&/g')
    mkdir -p "$(dirname "$zelvo_store")"
    if [ -e "$zelvo_store" ] && awk '
        { sub(/\r$/, ""); line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line) }
        line ~ /^\[/ { inside = (tolower(line) == "[hkey_local_machine\\software\\brenk\\dorvo]") ; next }
        inside && tolower(substr(line, 1, 11)) == "\"pathuser\"=" { found = 1 }
        END { exit found ? 0 : 1 }' "$zelvo_store"; then
        return 0
    fi
    zelvo_tmp=$(mktemp "$zelvo_store.XXXXXX")
    if [ -e "$zelvo_store" ]; then
        ZELVO_ENTRY="\"PathUser\"=\"$zelvo_value\"" awk '
            BEGIN { entry = ENVIRON["ZELVO_ENTRY"] }
            { print; raw = $0; sub(/\r$/, "", raw); line = raw; gsub(/^[ \t]+|[ \t]+$/, "", line) }
            !done && tolower(line) == "[hkey_local_machine\\software\\brenk\\dorvo]" { print entry; done = 1 }
            END {
                if (!done) {
                    if (NR == 0) print "REGEDIT4"
                    print ""
                    print "[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]"
                    print entry
                }
            }' "$zelvo_store" >"$zelvo_tmp"
        chown --reference="$zelvo_store" "$zelvo_tmp"
        chmod --reference="$zelvo_store" "$zelvo_tmp"
        if command -v getfacl >/dev/null && command -v setfacl >/dev/null; then
            getfacl -p "$zelvo_store" 2>/dev/null | setfacl --set-file=- "$zelvo_tmp" 2>/dev/null || true
        fi
    else
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"PathUser"="%s"\n' "$zelvo_value" >"$zelvo_tmp"
        chmod 0644 "$zelvo_tmp"
    fi
    mv -f "$zelvo_tmp" "$zelvo_store"
}
