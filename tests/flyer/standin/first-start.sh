#!/bin/sh
# The real office, recording its process ids and, on the first start in a fresh profile (when
# the real office makes the profile and exits with 81), that exit code.
for argument in "$@"; do
    case "$argument" in
    -env:UserInstallation=file://*) profile="${argument#-env:UserInstallation=file://}" ;;
    esac
done
echo "$$" >> "$LUMAREL_STANDIN_PIDS"
if [ ! -e "$profile/user" ]; then
    /usr/lib/libreoffice/program/soffice.bin "$@"
    code=$?
    echo "$code" >> "$LUMAREL_STANDIN_PIDS.exits"
    exit "$code"
fi
exec /usr/lib/libreoffice/program/soffice.bin "$@"
