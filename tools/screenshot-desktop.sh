#!/usr/bin/env bash
# Pictures of both windows under a private Xvfb display (1280 x 1024) as two desktops show
# them: a dark colour scheme (qt6ct's "darker") and a 200 % scale. Checks, for each picture,
# that the window lies inside the screen.
#   tools/screenshot-desktop.sh [build folder] [output folder]
# Writes {dark,200}-{main,preview}.png.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-.}")
mkdir -p "$out"
cmake --build "$build" --target lumarel preview_shot >/dev/null

. "$(dirname "$0")/private-display.sh"
export QT_QPA_PLATFORM=xcb

mkdir -p "$work/config/qt6ct" "$work/tmp"
cat >"$work/config/qt6ct/qt6ct.conf" <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
CONF
export XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp"

# Starts a window, waits for it, takes the screen and checks the window's place.
shoot() {
    local name=$1 title=$2
    shift 2
    "$@" >"$work/$name.log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    local window
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || {
        echo "no window for $name:" >&2
        cat "$work/$name.log" >&2
        exit 1
    }
    sleep 1.5 # the first paint and the preview's set-up
    import -window root "$out/$name.png"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    if [ "$X" -lt 0 ] || [ "$Y" -lt 0 ] || [ $((X + WIDTH)) -gt 1280 ] || [ $((Y + HEIGHT)) -gt 1024 ]; then
        echo "FAIL: $name: the window at $X,$Y ${WIDTH}x$HEIGHT leaves the screen" >&2
        exit 1
    fi
    echo "$out/$name.png: window at $X,$Y ${WIDTH}x$HEIGHT"
}

for look in dark 200; do
    if [ "$look" = dark ]; then
        env=(QT_QPA_PLATFORMTHEME=qt6ct)
    else
        env=(QT_SCALE_FACTOR=2)
    fi
    shoot "$look-main" '^Lumarel$' env "${env[@]}" "$build/lumarel"
    shoot "$look-preview" '^Lumarel$' env "${env[@]}" "$build/tests/preview/preview_shot" 2 \
        "$work/ready"
done
