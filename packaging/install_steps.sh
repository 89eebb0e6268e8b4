# Steps the package runs when it is configured, kept in one file so that the
# tests run the very same shell code (sourced by tests/install/*.sh).

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
# ordinary local account (UID range of /etc/adduser.conf, 1000 to 59999 by
# default) whose shell lets it log in.
#   zelvo_join_group GROUP [ACCOUNT...]
zelvo_join_group() {
    group=$1
    shift
    if [ $# -eq 0 ]; then
        first=1000
        last=59999
        if [ -r /etc/adduser.conf ]; then
            v=$(sed -n 's/^FIRST_UID=\([0-9]*\).*/\1/p' /etc/adduser.conf)
            [ -n "$v" ] && first=$v
            v=$(sed -n 's/^LAST_UID=\([0-9]*\).*/\1/p' /etc/adduser.conf)
            [ -n "$v" ] && last=$v
        fi
        set -- $(getent passwd | awk -F: -v first="$first" -v last="$last" \
            '$3 >= first && $3 <= last && $7 !~ /(nologin|false)$/ { print $1 }')
    fi
    for account in "$@"; do
        usermod -a -G "$group" "$account"
    done
}

# Sets "PathUser" of the key Software\Brenk\Dorvo in the machine store to
# FOLDER when the store has no "PathUser" there; every other line stays as it
# is. A missing store is created. The store is replaced whole (temporary file,
# then a rename) and keeps its owner, mode and ACL.
#   zelvo_default_path_user STORE FOLDER
zelvo_default_path_user() {
    store=$1
    value=$(printf '%s' "$2" | sed 's/[\\"]/\\&/g')
    mkdir -p "$(dirname "$store")"
    if [ -e "$store" ] && awk '
        { sub(/\r$/, ""); line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line) }
        line ~ /^\[/ { inside = (tolower(line) == "[hkey_local_machine\\software\\brenk\\dorvo]") ; next }
        inside && tolower(substr(line, 1, 11)) == "\"pathuser\"=" { found = 1 }
        END { exit found ? 0 : 1 }' "$store"; then
        return 0
    fi
    tmp=$(mktemp "$store.XXXXXX")
    if [ -e "$store" ]; then
        ZELVO_ENTRY="\"PathUser\"=\"$value\"" awk '
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
            }' "$store" >"$tmp"
        chown --reference="$store" "$tmp"
        chmod --reference="$store" "$tmp"
        if command -v getfacl >/dev/null && command -v setfacl >/dev/null; then
            getfacl -p "$store" 2>/dev/null | setfacl --set-file=- "$tmp" 2>/dev/null || true
        fi
    else
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"PathUser"="%s"\n' "$value" >"$tmp"
        chmod 0644 "$tmp"
    fi
    mv -f "$tmp" "$store"
}
