#!/usr/bin/env bash
# Packs the build tree as it is into a .deb and checks its fields and contents.
set -euo pipefail
build=$1 source=$2 work=$3 version=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(echo "$work"/lumarel_"$version"_*.deb)
[ -f "$deb" ] || fail "no package lumarel_${version}_*.deb"

depends=$(dpkg-deb --field "$deb" Depends)
for want in libqt6widgets6 libqt6gui6 libqt6core6 libpoppler-qt6- libgsf-1- libuno-cppu3 \
    qt6-qpa-plugins "libreoffice-writer-nogui | libreoffice-writer" fonts-liberation2 \
    fonts-wine fonts-ebgaramond fonts-dejavu-core; do
    [[ "$depends" == *"$want"* ]] || fail "Depends lacks $want: $depends"
done

dpkg-deb --contents "$deb" | awk '{print $6}' | sort > "$work/files"
for want in bin/lumarel libexec/lumarel/lumarel share/doc/lumarel/changelog.gz share/applications/lumarel.desktop share/metainfo/com.quenwick.lumarel.metainfo.xml \
    share/icons/hicolor/32x32/apps/lumarel.png share/icons/hicolor/256x256/apps/lumarel.png \
    share/icons/hicolor/scalable/apps/lumarel.svg share/man/man1/lumarel.1.gz share/doc/lumarel/copyright; do
    grep -qx "\./usr/$want" "$work/files" || fail "package lacks /usr/$want"
done

dpkg-deb --extract "$deb" "$work/root"
if grep -rlF -e "$build" -e "$source" "$work/root"; then fail "build paths inside the package"; fi

# The program carries no run path into the office's folder; started as installed, it finds the
# office's libraries through its starter script.
if readelf -d "$work/root/usr/libexec/lumarel/lumarel" | grep -E 'RPATH|RUNPATH'; then
    fail "the program carries a run path"
fi
[ "$("$work/root/usr/bin/lumarel" --version)" = "Lumarel $version" ] || fail "installed --version"

# Debian's own checks: no error and no warning.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian: see above"
