# Steps the package runs as root when it is configured or purged, kept in one
# file so that the tests run the very same shell code (sourced by
# tests/install/*.sh). Their variables start with "zelvo_", so they leave the
# caller's variables alone.
#
# Other accounts may write where these steps work: the members of the group
# (and the keeper, setgid to it) in the class folder and in the store's
# folder, and the accounts that an earlier version's ELEVHELP.exe granted the
# right to save in the store's folder. So a step never acts on a path another
# account could have chosen, never follows a link there, and before it works
# inside such a folder it closes the folder to everyone but root (no account
# can then create, rename or delete an entry there), checks each entry it
# touches without following links, and opens the folder again afterwards,
# also when it fails.

# The package version from which the class folder is closed to accounts
# outside its group; an upgrade from an earlier one mends the folder once.
zelvo_closed_class_version=2.6.1

# The package version from which the keeper is the only way into the class
# folder and the store: an upgrade from an earlier one takes every account
# out of the group, once.
zelvo_keeper_version=2.6.2

# The largest store taken (as the program takes it).
zelvo_store_limit=1048576

# True when FOLDER's parent is a folder owned by root that no other account
# may write (ACL entries count: they show in the group bits).
#   zelvo_root_parent FOLDER
zelvo_root_parent() {
    zelvo_parent=$(dirname -- "$1")
    [ -d "$zelvo_parent" ] || return 1
    set -- $(stat -L -c '%u %a' -- "$zelvo_parent")
    [ "$1" = 0 ] && [ $((0$2 & 022)) -eq 0 ]
}

# True when FOLDER is a folder (not a link) owned by root, in a parent folder
# that only root may change, so that nobody else can put anything in its place.
#   zelvo_root_folder FOLDER
zelvo_root_folder() {
    [ -d "$1" ] && [ ! -L "$1" ] && [ "$(stat -c %u -- "$1")" = 0 ] && zelvo_root_parent "$1"
}

# True when FOLDER's ACL names accounts or groups besides its owner and group.
zelvo_named_entries() {
    command -v getfacl >/dev/null &&
        getfacl -cpn -- "$1" 2>/dev/null | grep -q '^\(user\|group\):[^:]'
}

# Closes FOLDER to everyone but root: group-class write goes (with an ACL that
# is the mask, which limits every named entry), and so does write for others.
# Steps of root that work in the store's folder wait for each other here.
# Run in a subshell: the lock lasts as long as it does.
#   zelvo_close_folder FOLDER
zelvo_close_folder() {
    if [ -d /run ] && [ -w /run ]; then
        zelvo_umask=$(umask)
        umask 077 # no other account may open it, so none may hold it
        exec 9>>/run/zelvo-store.lock
        umask "$zelvo_umask"
        flock 9
    fi
    zelvo_root_folder "$1" || {
        echo "zelvo: $1 is not a folder of root's own (a link, another owner, or a parent others may write): nothing done there" >&2
        return 1
    }
    zelvo_reopen=
    [ $((0$(stat -c %a -- "$1") & 020)) -eq 0 ] || zelvo_reopen=1
    chmod go-w -- "$1"
}

# Opens FOLDER again: group-class write comes back when it was there, and
# when named ACL entries (granted accounts) are there, which also mends a
# folder left closed by a step that was killed. Write for others stays off.
#   zelvo_open_folder FOLDER
zelvo_open_folder() {
    [ -d "$1" ] && [ ! -L "$1" ] || return 0
    if [ -n "${zelvo_reopen:-}" ] || zelvo_named_entries "$1"; then
        chmod g+w -- "$1"
    fi
}

# What stands at STORE, looked at without following a link: "missing", "file"
# (a regular file with no other name, of at most the size the program takes),
# or "other" (a link, a pipe, a device, a folder, a hard link, a huge file).
#   zelvo_store_kind STORE
zelvo_store_kind() {
    if [ -L "$1" ]; then
        echo other
    elif [ ! -e "$1" ]; then
        echo missing
    elif [ -f "$1" ] && [ "$(stat -c %h -- "$1")" = 1 ] &&
        [ "$(stat -c %s -- "$1")" -le "$zelvo_store_limit" ]; then
        echo file
    else
        echo other
    fi
}

# Creates the store's folder when it is missing: root's, 0755, in a parent
# only root may change.
#   zelvo_store_folder FOLDER
zelvo_store_folder() {
    zelvo_root_parent "$1" || {
        echo "zelvo: the parent of $1 is not root's alone: nothing done there" >&2
        return 1
    }
    if [ ! -e "$1" ] && [ ! -L "$1" ]; then
        mkdir -m 0755 -- "$1" 2>/dev/null || [ -d "$1" ] # made meanwhile by another step
    fi
}

# The class folder: a setgid folder owned by root and the group, which only
# the group may enter: the files any member creates there belong to the group
# and (the program sets the modes) are writable by every member, and accounts
# outside the group can neither read them nor lock the folder. An existing
# folder is left as it is, but on the first configuration and on an upgrade
# from a version before zelvo_closed_class_version its access for others is
# taken away (zelvo_close_class_folder).
#   zelvo_class_folder FOLDER GROUP [CONFIGURED_VERSION]
zelvo_class_folder() {
    if ! getent group "$2" >/dev/null; then
        groupadd --system "$2"
    fi
    if [ ! -e "$1" ] && [ ! -L "$1" ]; then
        mkdir -p -- "$(dirname -- "$1")"
        mkdir -m 0700 -- "$1"
        chown root:"$2" -- "$1"
        chmod 2770 -- "$1"
    elif [ -z "${3:-}" ] || dpkg --compare-versions "$3" lt "$zelvo_closed_class_version"; then
        zelvo_close_class_folder "$1"
    fi
}

# Takes read, write and search for others away from the class folder and
# from its regular files (the lock file included); no bit is ever added, so
# a mode the administrator tightened stays. Members of the group may write
# the folder, so it is closed meanwhile and only regular files found without
# following links are changed.
#   zelvo_close_class_folder FOLDER
zelvo_close_class_folder() {
    (
        zelvo_class=$1
        zelvo_root_folder "$zelvo_class" || {
            echo "zelvo: $zelvo_class is not a folder of root's own: its modes are left as they are" >&2
            exit 0
        }
        zelvo_reopen=
        [ $((0$(stat -c %a -- "$zelvo_class") & 020)) -eq 0 ] || zelvo_reopen=1
        trap '[ -z "$zelvo_reopen" ] || chmod g+w -- "$zelvo_class"' EXIT
        trap 'exit 1' HUP INT TERM
        chmod go-w -- "$zelvo_class"
        chmod o-rwx -- "$zelvo_class"
        # The folder's own regular files, none through a link (-f alone
        # would follow one), the hidden ones (the lock file) too. Only files
        # of one link: a hard link to a file elsewhere (a member's link to a
        # file outside the folder) is that other file, and is left alone.
        set --
        for zelvo_file in "$zelvo_class"/* "$zelvo_class"/.[!.]* "$zelvo_class"/..?*; do
            if [ -f "$zelvo_file" ] && [ ! -L "$zelvo_file" ] &&
                [ "$(stat -c %h -- "$zelvo_file")" = 1 ]; then
                set -- "$@" "$zelvo_file"
            fi
        done
        if [ $# -gt 0 ] && ! chmod o-rwx -- "$@"; then
            echo "zelvo: some files of $zelvo_class could not be closed to accounts outside the group" >&2
        fi
    )
}

# Takes every account out of GROUP on an upgrade from a version before
# zelvo_keeper_version (CONFIGURED_VERSION; nothing on a first installation
# or a later upgrade), and names them on the terminal: the keeper reaches the
# class folder for them. Running sessions keep the group until they end.
#   zelvo_leave_group GROUP [CONFIGURED_VERSION]
zelvo_leave_group() {
    [ -n "${2:-}" ] && dpkg --compare-versions "$2" lt "$zelvo_keeper_version" || return 0
    zelvo_left=
    for zelvo_account in $(getent group "$1" | cut -d: -f4 | tr ',' ' '); do
        if gpasswd -d "$zelvo_account" "$1" >/dev/null; then
            zelvo_left="$zelvo_left${zelvo_left:+, }$zelvo_account"
        else
            echo "zelvo: $zelvo_account could not be taken out of the group $1" >&2
        fi
    done
    [ -n "$zelvo_left" ] || return 0
    echo "zelvo: учётные записи $zelvo_left исключены из группы $1: программа теперь сама открывает папку класса для учеников. Учётную запись, которой администратор компьютера хочет дать прямой доступ к папке класса (учителя, но никогда не ученика), можно вернуть в группу командой: adduser ИМЯ $1"
    echo "zelvo: $zelvo_left left the group $1: the program now opens the class folder for pupils itself. An account the computer's administrator wants to reach the class folder directly (a teacher's, never a pupil's) can be put back with: adduser NAME $1"
}

# The keeper: root's and GROUP's, setgid (2755), unless the administrator
# set its owner and mode with dpkg-statoverride (dpkg keeps those itself).
#   zelvo_keeper_mode KEEPER GROUP
zelvo_keeper_mode() {
    if command -v dpkg-statoverride >/dev/null && dpkg-statoverride --list "$1" >/dev/null 2>&1; then
        return 0
    fi
    [ -f "$1" ] && [ ! -L "$1" ] || {
        echo "zelvo: $1 is not a regular file: the keeper is not set up" >&2
        return 1
    }
    # chown drops the setgid bit: the mode comes last.
    chown root:"$2" -- "$1"
    chmod 2755 -- "$1"
}

# The store and its folder become GROUP's alone, for the keeper: the folder
# root:GROUP 2770, the store root:GROUP 0660, neither with ACL entries (an
# earlier version's grants are gone). A store of another owner, mode or ACL
# is replaced by root's copy of it, so that no account keeps a way into it
# (its owner could change its mode, anyone could hold it open). A missing
# store is left to zelvo_default_path_user; anything but a regular file of
# its own in its place is reported and left alone.
#   zelvo_close_store STORE GROUP
zelvo_close_store() {
    (
        zelvo_store=$1
        zelvo_folder=$(dirname -- "$1")
        zelvo_tmp=
        zelvo_store_folder "$zelvo_folder" || exit 1
        zelvo_close_folder "$zelvo_folder" || exit 1
        trap 'rm -f -- "$zelvo_tmp"; zelvo_open_folder "$zelvo_folder"' EXIT
        trap 'exit 1' HUP INT TERM
        # Closed, and opened to the group alone at the end.
        if command -v setfacl >/dev/null; then
            setfacl -b -- "$zelvo_folder" || exit 1
        fi
        chown root:"$2" -- "$zelvo_folder" || exit 1
        chmod 2750 -- "$zelvo_folder" || exit 1
        zelvo_reopen=1
        case $(zelvo_store_kind "$zelvo_store") in
        file)
            if [ "$(stat -c '%u %G %a' -- "$zelvo_store")" = "0 $2 660" ] &&
                ! { command -v getfacl >/dev/null && [ -n "$(getfacl -cs -- "$zelvo_store" 2>/dev/null)" ]; }; then
                exit 0
            fi
            zelvo_tmp=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
            head -c "$zelvo_store_limit" -- "$zelvo_store" >"$zelvo_tmp" || exit 1
            chown root:"$2" -- "$zelvo_tmp" || exit 1
            chmod 0660 -- "$zelvo_tmp" || exit 1
            mv -fT -- "$zelvo_tmp" "$zelvo_store" || exit 1
            zelvo_tmp=
            ;;
        missing) ;;
        *)
            echo "zelvo: $zelvo_store is not a regular file of its own (a link, a pipe, a device, a folder or a file with other names): left as it is; remove it, and configure the package again" >&2
            ;;
        esac
    )
}

# Sets "PathUser" of the key Software\Brenk\Dorvo in the machine store to
# FOLDER when the store has no "PathUser" there; every other line stays as it
# is. A missing store is created root's: in a setgid folder (the keeper's
# group's, see zelvo_close_store) it is that group's, 0660; elsewhere 0644.
# The store is replaced whole (temporary file, then a rename) and keeps its
# owner, group, ACL and mode (read and write bits). Something else than a
# regular file in its place is reported and left alone.
#   zelvo_default_path_user STORE FOLDER
zelvo_default_path_user() {
    (
        zelvo_store=$1
        zelvo_folder=$(dirname -- "$1")
        zelvo_value=$(printf '%s' "$2" | sed 's/[\\"]/\\&/g')
        zelvo_copy=
        zelvo_tmp=
        zelvo_store_folder "$zelvo_folder" || exit 1
        zelvo_close_folder "$zelvo_folder" || exit 1
        trap 'rm -f -- "$zelvo_copy" "$zelvo_tmp"; zelvo_open_folder "$zelvo_folder"' EXIT
        trap 'exit 1' HUP INT TERM
        case $(zelvo_store_kind "$zelvo_store") in
        file)
            # Its writers may still write it: it is read once, at most as
            # much as the program takes.
            zelvo_copy=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
            head -c "$zelvo_store_limit" -- "$zelvo_store" >"$zelvo_copy" || exit 1
            if awk '
                { sub(/\r$/, ""); line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line) }
                line ~ /^\[/ { inside = (tolower(line) == "[hkey_local_machine\\software\\brenk\\dorvo]") ; next }
                inside && tolower(substr(line, 1, 11)) == "\"pathuser\"=" { found = 1 }
                END { exit found ? 0 : 1 }' "$zelvo_copy"; then
                exit 0
            fi
            zelvo_tmp=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
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
                }' "$zelvo_copy" >"$zelvo_tmp" || exit 1
            if command -v getfacl >/dev/null && command -v setfacl >/dev/null; then
                getfacl -p -- "$zelvo_store" 2>/dev/null | setfacl -P --set-file=- -- "$zelvo_tmp" 2>/dev/null || true
            fi
            # The store's mode, read and write bits only: its owner may have
            # set others, and the new file is root's until its last step.
            zelvo_mode=$(stat -c %a -- "$zelvo_store") || exit 1
            chmod "$(printf '%o' $((0$zelvo_mode & 0666)))" -- "$zelvo_tmp" || exit 1
            # Last: from here on the file's owner may change its mode.
            chown --reference="$zelvo_store" -- "$zelvo_tmp" || exit 1
            ;;
        missing)
            zelvo_tmp=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
            printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"PathUser"="%s"\n' "$zelvo_value" >"$zelvo_tmp" || exit 1
            # Made in a setgid folder, it has the folder's group already.
            if [ -g "$zelvo_folder" ]; then
                chmod 0660 -- "$zelvo_tmp" || exit 1
            else
                chmod 0644 -- "$zelvo_tmp" || exit 1
            fi
            # A default ACL of the folder gave its accounts their entries;
            # the mask lets them write.
            if zelvo_named_entries "$zelvo_tmp"; then
                setfacl -P -m m::rw -- "$zelvo_tmp" || exit 1
            fi
            ;;
        *)
            echo "zelvo: $zelvo_store is not a regular file of its own (a link, a pipe, a device, a folder or a file with other names): \"PathUser\" not set" >&2
            exit 0
            ;;
        esac
        mv -fT -- "$zelvo_tmp" "$zelvo_store" || exit 1
        zelvo_tmp=
    )
}

# The package's configuration, first installation and upgrade alike: the
# class folder and its group, the keeper, the group's old members on an
# upgrade from before zelvo_keeper_version, the store closed to all but the
# group, and "PathUser" pointing at the class folder. No account joins the
# group here: the administrator puts in on purpose an account (a teacher's)
# that is to reach the class folder directly.
#   zelvo_configure CLASS_FOLDER GROUP STORE KEEPER [CONFIGURED_VERSION]
zelvo_configure() {
    zelvo_class_folder "$1" "$2" "${5:-}"
    zelvo_keeper_mode "$4" "$2"
    zelvo_leave_group "$2" "${5:-}"
    zelvo_close_store "$3" "$2"
    zelvo_default_path_user "$3" "$1"
}

# Purging: removes the store and the temporary files left beside it, then the
# store's folder when nothing else is in it.
#   zelvo_purge_store STORE
zelvo_purge_store() {
    (
        zelvo_store=$1
        zelvo_folder=$(dirname -- "$1")
        [ -e "$zelvo_folder" ] || [ -L "$zelvo_folder" ] || exit 0
        zelvo_close_folder "$zelvo_folder" || exit 1
        trap 'zelvo_open_folder "$zelvo_folder"' EXIT
        trap 'exit 1' HUP INT TERM
        rm -f -- "$zelvo_store" "$zelvo_store".?????? "$zelvo_folder"/.zelvo-*.tmp
        rmdir -- "$zelvo_folder" 2>/dev/null || true
    )
}

# The answers to the package's questions (debconf) and the store's values.

# The scoring "AdmConf" as the settings window takes it: four numbers joined
# by "|", the right and the wrong streak (0 and up) and the bonus and the
# penalty (1 to 50). Prints it as the program writes it (no leading zeros);
# fails on any other text.
#   zelvo_scoring_text TEXT
zelvo_scoring_text() {
    printf '%s\n' "$1" | awk -F'|' '
        NR > 1 || NF != 4 { bad = 1 }
        !bad {
            for (i = 1; i <= 4; i++) {
                v = $i
                if (v !~ /^[0-9]+$/) { bad = 1; break }
                sub(/^0+/, "", v)
                if (v == "") v = "0"
                if (length(v) > 10 || (length(v) == 10 && v > "2147483647")) { bad = 1; break }
                if (i > 2 && (v + 0 < 1 || v + 0 > 50)) { bad = 1; break }
                out = out (i > 1 ? "|" : "") v
            }
        }
        END { if (bad || NR != 1) exit 1; print out }'
}

# The class folder "PathUser" as the program stores it: a full path on one
# line, without the separators at its end (the root folder keeps its "/").
# Fails on a relative path or a line break.
#   zelvo_folder_text TEXT
zelvo_folder_text() {
    case $1 in
    /*) ;;
    *) return 1 ;;
    esac
    case $1 in
    *'
'* | *"$(printf '\r')"*) return 1 ;;
    esac
    zelvo_text=$(printf '%s' "$1" | sed 's|/*$||')
    printf '%s\n' "${zelvo_text:-/}"
}

# TEXT as a quoted string of the store: a backslash before every backslash
# and double quote.
#   zelvo_store_string TEXT
zelvo_store_string() {
    printf '"%s"\n' "$(printf '%s' "$1" | sed 's/[\\"]/\\&/g')"
}

# The value NAME of KEY (for instance 'Software\Brenk\Dorvo') as the program
# reads it, from the last line naming it in the key's sections (names without
# letter case, CR LF or LF): "s:" and the text of a string, "d:" and the
# number of a dword. Nothing when it is missing, of another type, or when
# the store is not a regular file of its own.
#   zelvo_store_value STORE KEY NAME
zelvo_store_value() {
    [ "$(zelvo_store_kind "$1")" = file ] || return 0
    head -c "$zelvo_store_limit" -- "$1" | ZELVO_KEY="HKEY_LOCAL_MACHINE\\$2" ZELVO_NAME="$3" awk '
        BEGIN { key = tolower(ENVIRON["ZELVO_KEY"]); name = "\"" tolower(ENVIRON["ZELVO_NAME"]) "\"=" }
        { sub(/\r$/, ""); line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line) }
        line ~ /^\[.*\]$/ { inside = tolower(substr(line, 2, length(line) - 2)) == key; next }
        inside && tolower(substr(line, 1, length(name))) == name {
            value = substr(line, length(name) + 1)
            found = ""
            if (value ~ /^dword:[0-9a-fA-F]+$/ && length(value) <= 14) {
                digits = tolower(substr(value, 7)); n = 0
                for (i = 1; i <= length(digits); i++)
                    n = n * 16 + index("0123456789abcdef", substr(digits, i, 1)) - 1
                found = "d:" sprintf("%d", n >= 2147483648 ? n - 4294967296 : n)
            } else if (value ~ /^"/) {
                text = ""; closed = 0
                for (i = 2; i <= length(value); i++) {
                    c = substr(value, i, 1)
                    if (c == "\\") { i++; text = text substr(value, i, 1) }
                    else if (c == "\"") { closed = i; break }
                    else text = text c
                }
                if (closed && substr(value, closed + 1) ~ /^[ \t]*$/) found = "s:" text
            }
        }
        END { if (found != "") print found }'
}

# Sets values of KEY in STORE, each NAME to VALUE written as it stands after
# "=" in the store (a quoted string of zelvo_store_string, or dword:%08x):
# every line naming it in the key's sections is replaced (the name keeps its
# spelling), or it is added below the key's first section, which is added
# when missing; every other line stays as it is, and so do the line ends. The
# store is replaced whole (temporary file, then a rename), keeping its owner,
# group, ACL and mode, and only when something changed; a missing one is made
# as zelvo_default_path_user makes it. Something else than a regular file in
# its place is reported and fails.
#   zelvo_store_set STORE KEY NAME VALUE [NAME VALUE...]
zelvo_store_set() {
    (
        zelvo_store=$1
        zelvo_folder=$(dirname -- "$1")
        ZELVO_KEY="HKEY_LOCAL_MACHINE\\$2"
        export ZELVO_KEY
        shift 2
        ZELVO_ENTRIES=
        while [ $# -ge 2 ]; do
            ZELVO_ENTRIES="$ZELVO_ENTRIES\"$1\"=$2
"
            shift 2
        done
        export ZELVO_ENTRIES
        zelvo_copy=
        zelvo_tmp=
        zelvo_store_folder "$zelvo_folder" || exit 1
        zelvo_close_folder "$zelvo_folder" || exit 1
        trap 'rm -f -- "$zelvo_copy" "$zelvo_tmp"; zelvo_open_folder "$zelvo_folder"' EXIT
        trap 'exit 1' HUP INT TERM
        zelvo_copy=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
        case $(zelvo_store_kind "$zelvo_store") in
        file)
            head -c "$zelvo_store_limit" -- "$zelvo_store" >"$zelvo_copy" || exit 1
            [ -s "$zelvo_copy" ] || printf 'REGEDIT4\n' >"$zelvo_copy" || exit 1
            ;;
        missing) printf 'REGEDIT4\n' >"$zelvo_copy" || exit 1 ;;
        *)
            echo "zelvo: $zelvo_store is not a regular file of its own (a link, a pipe, a device, a folder or a file with other names): the answers are not written" >&2
            exit 1
            ;;
        esac
        zelvo_tmp=$(mktemp -- "$zelvo_store.XXXXXX") || exit 1
        # Read twice: first which values the key holds, then the new text.
        awk '
            BEGIN {
                key = tolower(ENVIRON["ZELVO_KEY"])
                count = split(ENVIRON["ZELVO_ENTRIES"], lines, "\n") - 1
                for (n = 1; n <= count; n++) {
                    eq = index(lines[n], "\"=")
                    names[n] = tolower(substr(lines[n], 1, eq + 1))
                    values[n] = substr(lines[n], eq + 2)
                }
            }
            FNR == 1 { inside = 0 }
            {
                raw = $0; cr = sub(/\r$/, "", raw) ? "\r" : ""
                line = raw; gsub(/^[ \t]+|[ \t]+$/, "", line)
                match_n = 0
                if (line ~ /^\[.*\]$/) {
                    inside = tolower(substr(line, 2, length(line) - 2)) == key
                } else if (inside) {
                    for (n = 1; n <= count; n++)
                        if (tolower(substr(line, 1, length(names[n]))) == names[n]) match_n = n
                }
            }
            FNR == NR { if (match_n) held[match_n] = 1; next }
            match_n {
                print substr(line, 1, length(names[match_n])) values[match_n] cr
                next
            }
            { print }
            inside && line ~ /^\[/ && !added {
                for (n = 1; n <= count; n++)
                    if (!held[n]) print substr(lines[n], 1, length(names[n])) values[n] cr
                added = 1
            }
            END {
                if (!added) {
                    print cr
                    print "[" ENVIRON["ZELVO_KEY"] "]" cr
                    for (n = 1; n <= count; n++) print lines[n] cr
                }
            }' "$zelvo_copy" "$zelvo_copy" >"$zelvo_tmp" || exit 1
        if [ -f "$zelvo_store" ] && cmp -s -- "$zelvo_copy" "$zelvo_tmp"; then
            exit 0
        fi
        if [ -f "$zelvo_store" ]; then
            if command -v getfacl >/dev/null && command -v setfacl >/dev/null; then
                getfacl -p -- "$zelvo_store" 2>/dev/null | setfacl -P --set-file=- -- "$zelvo_tmp" 2>/dev/null || true
            fi
            zelvo_mode=$(stat -c %a -- "$zelvo_store") || exit 1
            chmod "$(printf '%o' $((0$zelvo_mode & 0666)))" -- "$zelvo_tmp" || exit 1
            chown --reference="$zelvo_store" -- "$zelvo_tmp" || exit 1
        elif [ -g "$zelvo_folder" ]; then
            chmod 0660 -- "$zelvo_tmp" || exit 1
        else
            chmod 0644 -- "$zelvo_tmp" || exit 1
        fi
        mv -fT -- "$zelvo_tmp" "$zelvo_store" || exit 1
        zelvo_tmp=
    )
}

# The reason the settings window gives for a scoring it refuses.
zelvo_scoring_refused="Неправильно заполненые параметры (см документацию)"

# Offers the store's current values as the answers to the questions on the
# class folder, the scoring and the sounds, where no answer was given anew
# (preseeded, or typed at the last configuration): those are marked seen,
# and zelvo_apply_answers marks them unseen once written. So the settings ADM
# changed in the program are kept by an upgrade and shown by
# dpkg-reconfigure. Needs debconf's confmodule.
#   zelvo_offer_store STORE
zelvo_offer_store() {
    for zelvo_question in class-folder scoring sounds; do
        db_fget zelvo/$zelvo_question seen || continue
        [ "$RET" = false ] || continue
        case $zelvo_question in
        class-folder) zelvo_value=$(zelvo_store_value "$1" 'Software\Brenk\Dorvo' PathUser) ;;
        scoring) zelvo_value=$(zelvo_store_value "$1" 'Software\Brenk\Dorvo' AdmConf) ;;
        sounds) zelvo_value=$(zelvo_store_value "$1" 'Software\Brenk\Dorvo' NoSound) ;;
        esac
        case $zelvo_question:$zelvo_value in
        class-folder:s:?* | scoring:s:?*) db_set zelvo/$zelvo_question "${zelvo_value#s:}" ;;
        sounds:d:0) db_set zelvo/sounds true ;;
        sounds:d:*) db_set zelvo/sounds false ;;
        esac
    done
}

# Writes the answers to the package's questions into STORE: ADM's password as
# the digest that DIGEST_TOOL --password-digest prints for it (an empty one
# leaves the store's digest as it is), "PathUser", "AdmConf" and "NoSound".
# The password leaves the debconf database first. An answer the program would
# refuse is not written (the store keeps its value) and its reason is shown;
# the others are written. Debconf keeps its database only when the script
# succeeds, so only a digest that cannot be made fails: ADM's password would
# otherwise stay what it was.
# Needs debconf's confmodule.
#   zelvo_apply_answers STORE DIGEST_TOOL
zelvo_apply_answers() {
    db_get zelvo/adm-password
    zelvo_password=$RET
    db_set zelvo/adm-password ""
    zelvo_answers_store=$1
    zelvo_digest_tool=$2
    set -- 'Software\Brenk\Dorvo'
    db_get zelvo/class-folder
    if zelvo_path_user=$(zelvo_folder_text "$RET"); then
        set -- "$@" PathUser "$(zelvo_store_string "$zelvo_path_user")"
    else
        echo "zelvo: zelvo/class-folder \"$RET\": нужен полный путь к папке, от / (a full path is needed): the class folder stays as it is" >&2
    fi
    db_get zelvo/scoring
    if zelvo_adm_conf=$(zelvo_scoring_text "$RET"); then
        set -- "$@" AdmConf "\"$zelvo_adm_conf\""
    else
        echo "zelvo: zelvo/scoring \"$RET\": $zelvo_scoring_refused (four numbers joined by |: the right and the wrong streak, 0 and up, the bonus and the penalty, 1 to 50): the scoring stays as it is" >&2
    fi
    db_get zelvo/sounds
    if [ "$RET" = false ]; then
        set -- "$@" NoSound dword:00000001
    else
        set -- "$@" NoSound dword:00000000
    fi
    if [ -n "$zelvo_password" ]; then
        # printf is built into the shell: the password shows in no process list.
        zelvo_digest=$(printf '%s\n' "$zelvo_password" | "$zelvo_digest_tool" --password-digest) &&
            [ -n "$zelvo_digest" ] || {
            zelvo_password=
            echo "zelvo: $zelvo_digest_tool --password-digest failed: ADM's password is not set" >&2
            return 1
        }
        zelvo_password=
        zelvo_store_set "$zelvo_answers_store" 'Software\Brenk\Zamrik' MyPass "$(zelvo_store_string "$zelvo_digest")"
    fi
    zelvo_store_set "$zelvo_answers_store" "$@"
    for zelvo_question in class-folder scoring sounds; do
        db_fset zelvo/$zelvo_question seen false
    done
}
