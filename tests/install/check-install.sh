#!/usr/bin/env bash
# Installs the build tree into a scratch DESTDIR under a prefix of its own and checks what a
# desktop looks for there; then starts the installed program.
set -euo pipefail
build=$1 work=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
prefix=/opt/lumarel-test root=$work/root
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
share=$root$prefix/share

desktop-file-validate "$share/applications/lumarel.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/com.quenwick.lumarel.metainfo.xml"
for size in 32 48 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/lumarel.png
    [ "$(identify -format %wx%h "$png")" = "${size}x${size}" ] || fail "$png is not $size pixels"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/lumarel.svg" || fail "no scalable icon"
zcat "$share/man/man1/lumarel.1.gz" | grep -q "^\.TH \"lumarel\" \"1\".*\"Lumarel $version\"" ||
    fail "manual page header"

# The installed program runs from its new place and reports the build's version.
[ "$("$root$prefix/bin/lumarel" --version)" = "Lumarel $version" ] || fail "lumarel --version"
