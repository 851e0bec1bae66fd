#!/usr/bin/env bash
# Starts Lumarel under a private Xvfb display with empty settings and takes a picture of the
# main window.
#   tools/screenshot-main-window.sh [--sample] [OUTPUT.png]
# --sample presses "Load Sample/Example Data" (through xdotool) before the picture is taken.
# LUMAREL names the program to run (default: build/lumarel).
set -euo pipefail

sample=0
if [ "${1:-}" = "--sample" ]; then
    sample=1
    shift
fi
output=$(realpath -m "${1:-main-window.png}")
here=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${LUMAREL:-$here/build/lumarel}")

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run tools/install-deps.sh" >&2; exit 1; }
done

. "$(dirname "$0")/private-display.sh"

# Nothing stored: the window starts as it does on a first run.
mkdir -p "$work/config" "$work/tmp"
XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp" QT_QPA_PLATFORM=xcb "$program" \
    >"$work/lumarel.log" 2>&1 &
pids+=($!)

window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Lumarel$' | head -n 1) || {
    echo "the main window did not appear; program output:" >&2
    cat "$work/lumarel.log" >&2
    exit 1
}

if [ "$sample" -eq 1 ]; then
    # The centre of "Load Sample/Example Data": left 4680, top 630, 4440 x 405 twips at 96 DPI.
    xdotool mousemove --window "$window" 460 55 click 1
    # Off the buttons again, so that none is drawn hovered.
    xdotool mousemove --window "$window" 300 480
fi
sleep 1 # let the window repaint before the picture is taken
import -window "$window" "$output"
echo "$output"
