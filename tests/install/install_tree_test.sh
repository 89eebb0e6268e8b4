#!/bin/sh
# `cmake --install` of the build folder: under a prefix of its own, with and
# without DESTDIR, every file lands below that prefix and nothing is written
# anywhere else (the system's /opt and /usr are left as they were). The
# program folder, the links, the desktop entry, icon, metainfo and manual
# pages are where they belong, name the folders they were installed to, and
# pass their validators.
#   install_tree_test.sh BUILD_FOLDER
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# The folders below the prefix, as this build folder was configured.
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
bindir=$(cache_value CMAKE_INSTALL_BINDIR)
datadir=$(cache_value CMAKE_INSTALL_DATADIR)
[ -n "$datadir" ] || datadir=$(cache_value CMAKE_INSTALL_DATAROOTDIR)
mandir=$(cache_value CMAKE_INSTALL_MANDIR)
[ -n "$mandir" ] || mandir=$(cache_value CMAKE_INSTALL_DATAROOTDIR)/man
programdir=$(cache_value ZELVO_PROGRAM_DIR)
version=$(cache_value CMAKE_PROJECT_VERSION)
id=ru.zelvo.Zelvo

# Whatever of Zelvo the system has, with its times: compared after the installations.
system_files() {
    find /opt /usr -ipath '*zelvo*' -exec ls -ld --time-style=full-iso {} + 2>/dev/null | sort
}
system_files >"$work/system_before"

# install_into CASE DESTDIR PREFIX: installs into the folder CASE of the
# temporary folder as DESTDIR, or below PREFIX there when DESTDIR is empty;
# checks that the files written are exactly those of the manifest, all below
# PREFIX, and that the links and the manual pages name PREFIX. Sets root to
# the installed prefix as seen from here.
install_into() {
    case=$1 destdir=$2 prefix=$3
    if [ -n "$destdir" ]; then
        DESTDIR=$destdir cmake --install "$build" --prefix "$prefix" >/dev/null
    else
        env -u DESTDIR cmake --install "$build" --prefix "$prefix" >/dev/null
    fi
    root=$destdir$prefix
    manifest=$build/install_manifest.txt
    # The manifest names the files without DESTDIR; each is below the prefix.
    outside=$(sed 's#//*#/#g' "$manifest" | grep -v "^${prefix%/}/" || true)
    [ -z "$outside" ] || fail "installed outside $prefix: $outside"
    # Nothing else was written in the temporary folder.
    sed "s#^#$destdir#; s#//*#/#g" "$manifest" | sort >"$work/expected"
    find "$work/$case" \( -type f -o -type l \) | sort >"$work/written"
    diff "$work/expected" "$work/written" >/dev/null ||
        fail "$case: the files written are not those of the manifest: $(diff "$work/expected" "$work/written")"
    for f in "$programdir/zelvo" "$programdir/zelvo-export" "$programdir/zelvo-keeper" "$programdir/ELEVHELP.exe" "$programdir/zelvo-class-files"; do
        [ -f "$root/$f" ] && [ -x "$root/$f" ] || fail "$case: $f is not an executable file"
    done
    full_programdir=$(printf '%s\n' "${prefix%/}/$programdir" | sed 's#//*#/#g')
    # The teacher's menu entries start the script where it is installed.
    for entry in ClassReport ClassResults; do
        grep -q "^Exec=$full_programdir/zelvo-class-files " "$root/$datadir/applications/ru.zelvo.Zelvo.$entry.desktop" ||
            fail "$case: the entry $entry does not start $full_programdir/zelvo-class-files"
    done
    # An absolute link names the program where it is installed; a relative
    # one leads to it in the tree as it is.
    for program in zelvo zelvo-export; do
        target=$(readlink "$root/$bindir/$program") || target=
        case $target in
        /*) [ "$target" = "$full_programdir/$program" ] ;;
        ?*) [ "$(readlink -f "$root/$bindir/$program")" = "$(readlink -f "$root/$programdir/$program")" ] ;;
        *) false ;;
        esac || fail "$case: $bindir/$program -> '$target' does not lead to the program"
    done
    # The manual page names the program folder and the link where they are
    # (a minus written as roff's \-).
    page=$(gzip -dc "$root/$mandir/man1/zelvo.1.gz")
    roff_programdir=$(printf '%s\n' "$full_programdir" | sed 's/-/\\-/g')
    for line in ".TH ZELVO 1 \"December 2026\" \"Zelvo $version\" \"User Commands\"" \
        ".I \"$roff_programdir/ELEVHELP.exe\"" ".IR \"$roff_programdir/zelvo\" ." \
        ".IR \"$roff_programdir/zelvo\\-keeper\" ,"; do
        printf '%s\n' "$page" | grep -qxF -e "$line" || fail "$case: zelvo.1 has no line: $line"
    done
    ! printf '%s\n' "$page" | grep -q '@[A-Z_]*@' || fail "$case: zelvo.1 keeps a placeholder"
    gzip -dc "$root/$mandir/man1/zelvo-export.1.gz" | grep -qF "\"Zelvo $version\"" ||
        fail "$case: zelvo-export.1 does not name the version"
    if command -v man >/dev/null; then
        out=$(LC_ALL=C.UTF-8 man --warnings -l "$root/$mandir/man1/zelvo.1.gz" 2>&1 >/dev/null)
        [ -z "$out" ] || fail "$case: man warns on zelvo.1: $out"
    fi
}

# A staging folder: the prefix / puts the program folder into another
# top-level folder than bin, so the links are absolute, as in the package.
install_into stage "$work/stage" /
[ "$(readlink "$root/$bindir/zelvo")" = "/$programdir/zelvo" ] ||
    fail "stage: $bindir/zelvo does not link to /$programdir/zelvo"
# A staging folder below a prefix of the usual kind.
install_into local "$work/local" /usr/local
# A developer's prefix of their own: the links are relative, the tree can move.
install_into home "" "$work/home/x"
case $(readlink "$root/$bindir/zelvo") in
/*) fail "home: $bindir/zelvo is an absolute link" ;;
esac

system_files >"$work/system_after"
diff "$work/system_before" "$work/system_after" >/dev/null ||
    fail "the system's files changed: $(diff "$work/system_before" "$work/system_after")"

for f in sound/BONUS.wav sound/-BONUS.wav sound/ERROR.wav sound/THEEND.wav; do
    head -c 4 "$root/$programdir/$f" 2>/dev/null | grep -q RIFF || fail "$f is not a WAV file"
done
for f in $datadir/applications/$id.desktop $datadir/metainfo/$id.metainfo.xml \
    $datadir/icons/hicolor/scalable/apps/$id.svg $datadir/doc/zelvo/copyright; do
    [ -s "$root/$f" ] || fail "$f missing"
done
grep -qF "<release version=\"$version\"" "$root/$datadir/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not name the release $version"
if command -v chmcmd >/dev/null; then
    head -c 4 "$root/$programdir/dorvo.chm" 2>/dev/null | grep -q ITSF || fail "dorvo.chm is not a CHM file"
fi
if command -v rsvg-convert >/dev/null; then
    for size in 16 24 32 48 64 128 256; do
        png=$root/$datadir/icons/hicolor/${size}x${size}/apps/$id.png
        # PNG width and height: big-endian words at bytes 16 and 20.
        dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
        [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
    done
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/$datadir/applications/$id.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/$datadir/metainfo/$id.metainfo.xml" >/dev/null \
        || fail "appstreamcli validate: $(appstreamcli validate --no-net "$root/$datadir/metainfo/$id.metainfo.xml")"
fi
[ "$failures" -eq 0 ] && echo "installed trees: ok"
