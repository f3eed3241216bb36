#!/usr/bin/env bash
# The audience board's cost, on two 1920 x 1080 screens of Xorg with the
# dummy driver: the board alone full-screen on the first, then the board and
# the audience board on the second, every clock running, 20 s each. Also
# saves a picture of both screens as docs/audience-two-screens.png.
#   tests/with-xorg-dummy bench/audience_load.sh [build folder]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
source bench/session.sh
mode=(1920x1080 148.5 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync)
xrandr --newmode "${mode[@]}" 2>/dev/null
for output in DUMMY0 DUMMY1; do xrandr --addmode "$output" 1920x1080 2>/dev/null; done
xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 --output DUMMY1 --mode 1920x1080 --right-of DUMMY0

# run <extra options>: the board full-screen on the first screen, every
# clock running; prints its CPU share.
run() {
    rm -rf "$work/.local"
    "$exe" --fullscreen 1 "$@" & local app=$!
    pids+=($app)
    local board
    board=$(open_board)
    sleep 1
    xdotool windowfocus --sync "$board"
    # Scores, the period, four penalties; then the period and jam clocks.
    xdotool key 5 7 Return Tab Tab 4 2 Return Tab 2 Tab
    for _ in 1 2 3 4; do xdotool key Tab a; done
    xdotool key s j
    sleep 1
    share "$app"
    if [ $# -gt 0 ]; then
        import -window root "$work/both.png"
        convert "$work/both.png" -resize 50% docs/audience-two-screens.png
    fi
    kill "$app"
    wait "$app" 2>/dev/null
}
alone=$(run)
echo "board alone, full-screen 1920 x 1080, every clock running: ${alone}% of one core over 20 s"
both=$(run --audience 2)
echo "board and audience board, two 1920 x 1080 screens: ${both}% of one core over 20 s"
awk -v a="$alone" -v b="$both" 'BEGIN { if (a > 0) printf "ratio: %.2f (target at most 1.6)\n", b / a }'
echo "saved docs/audience-two-screens.png"
