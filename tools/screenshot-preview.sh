#!/usr/bin/env bash
# Screenshots of the preview window under Xvfb with a letter page made for the purpose:
# tools/screenshot-preview.sh [build folder] [output folder]
# Writes preview-zoom-1.0.png and preview-zoom-0.5.png.
set -euo pipefail

build=${1:-build}
out=${2:-.}
program="$build/tests/preview/preview_shot"
cmake --build "$build" --target preview_shot >/dev/null

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

for shot in "0 1.0" "2 0.5"; do
    set -- $shot
    ready=$(mktemp -u)
    "$program" "$1" "$ready" &
    pid=$!
    for _ in $(seq 100); do [ -e "$ready" ] && break; sleep 0.1; done
    import -window root "$out/preview-zoom-$2.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -f "$ready"
done
echo "written: $out/preview-zoom-1.0.png $out/preview-zoom-0.5.png"
