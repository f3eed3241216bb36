#!/usr/bin/env bash
# Draws the picture fixtures kept here (ImageMagick): a GIF, the one format
# Qt reads but cannot write.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 400x200 xc:'#2a7fff' -fill white -draw 'circle 200,100 200,20' wide-400x200.gif
