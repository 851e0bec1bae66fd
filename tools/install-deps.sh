#!/usr/bin/env bash
# Installs the Debian packages Lumarel needs to build, test and run.
# Used by `make run`, `make test` and CI; safe to run again (it only installs what is missing).
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
    # Translations: the tools that compile them, and Qt's own for its dialogs.
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libreoffice-dev libpoppler-qt6-dev libgsf-1-dev libzip-dev libcsv-dev
    fontconfig libfontconfig-dev fonts-liberation2 fonts-wine fonts-ebgaramond fonts-dejavu-core
    # Faces for the scripts the template's fonts lack: Chinese, Japanese and Korean, and
    # emoji in a plain face that the office can put into a page.
    fonts-wqy-microhei fonts-symbola
    xvfb xauth x11-apps imagemagick xdotool
    scdoc desktop-file-utils appstream dpkg-dev file lintian
    # A dark colour scheme for the screenshots (tools/screenshot-desktop.sh).
    qt6ct
    # A reader of the saved .docx that is not the office, for the tests, and pdfinfo.
    abiword poppler-utils
    # Designs written as a user's own tools write them, for the tests.
    python3-docx python3-odf
    # The user's paper size as the system sets it (/etc/papersize, PAPERSIZE).
    libpaper-dev
    # The sanitizer runs (gcc's runtimes) and the fuzzer (clang with libFuzzer).
    libasan8 libubsan1 libtsan2 clang libfuzzer-14-dev libclang-rt-14-dev
)

# A desktop LibreOffice Writer serves as well as the headless one; the two packages exclude
# each other, so the headless one is only added when no Writer is installed.
if ! dpkg-query -W -f='${Status}' libreoffice-writer 2>/dev/null | grep -q "ok installed"; then
    packages+=(libreoffice-writer-nogui)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
