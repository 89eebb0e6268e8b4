#!/bin/sh
# `cmake --install` of the build folder into a staging folder: the program
# folder, the link, the desktop entry, icon and metainfo are where they
# belong, and the desktop entry and the metainfo pass their validators.
#   install_tree_test.sh BUILD_FOLDER
set -eu
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
id=ru.zelvo.Zelvo
for f in opt/zelvo/zelvo opt/zelvo/ELEVHELP.exe; do
    [ -f "$stage/$f" ] && [ -x "$stage/$f" ] || fail "$f is not an executable file"
done
for f in sound/BONUS.wav sound/-BONUS.wav sound/ERROR.wav sound/THEEND.wav; do
    head -c 4 "$stage/opt/zelvo/$f" 2>/dev/null | grep -q RIFF || fail "$f is not a WAV file"
done
[ "$(readlink "$stage/usr/bin/zelvo")" = /opt/zelvo/zelvo ] || fail "usr/bin/zelvo does not link to the program"
for f in usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/doc/zelvo/copyright usr/share/man/man1/zelvo.1.gz; do
    [ -s "$stage/$f" ] || fail "$f missing"
done
if command -v chmcmd >/dev/null; then
    head -c 4 "$stage/opt/zelvo/dorvo.chm" 2>/dev/null | grep -q ITSF || fail "dorvo.chm is not a CHM file"
fi
if command -v rsvg-convert >/dev/null; then
    for size in 16 24 32 48 64 128 256; do
        png=$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
        # PNG width and height: big-endian words at bytes 16 and 20.
        dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
        [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
    done
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml" >/dev/null \
        || fail "appstreamcli validate: $(appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml")"
fi
[ "$failures" -eq 0 ] && echo "installed tree: ok"
