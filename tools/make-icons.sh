#!/usr/bin/env bash
# Renders the application icon's four images from its source drawing (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources"
for size in 32 48 128 256; do
    rsvg-convert -w "$size" -h "$size" lumarel.svg -o "icons/lumarel-$size.png"
done
