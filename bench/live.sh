#!/usr/bin/env bash
# The running program on a private X server (1920 x 1080, with a window
# manager): start to the board on screen, and the CPU share over 30 s with
# every clock stopped and running, maximised, against an empty 50 ms timer
# in a maximised Qt window.
#   bench/live.sh [build folder]
# QUELVANE_LIVE_JOURNAL=<folder> starts it with the bout journal of that
# folder (for example one that bench_journal filled).
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
idle="$PWD/$build/bench/idle_window"
source bench/session.sh
if [ -n "${QUELVANE_LIVE_JOURNAL:-}" ]; then
    mkdir -p "$work/.local/share/Quelvane"
    cp "$QUELVANE_LIVE_JOURNAL"/journal.sqlite* "$work/.local/share/Quelvane/"
fi
start_session 1920x1080
now_ms() { date +%s%3N; }

started=$(now_ms)
"$exe" & app=$!; pids+=($app)
splash=$(window_named Quelvane)
shown=$(now_ms)
eval "$(xdotool getwindowgeometry --shell "$splash")"
clicked=$(now_ms)
# --delay 0: by default xdotool sleeps 100 ms after a click before it exits.
xdotool mousemove $((X + 40)) $((Y + 30)) click --delay 0 1
board=$(window_named Quelvane "$splash")
painted=$(now_ms)
echo "start to splash on screen: $((shown - started)) ms"
echo "click to board on screen: $((painted - clicked)) ms"

wmctrl -i -r "$board" -b add,maximized_vert,maximized_horz
sleep 1
xdotool windowactivate --sync "$board" >/dev/null 2>&1

# The empty-timer baseline runs beside the board over the same seconds, so
# whatever else the machine does weighs on both alike; the ratio is the
# median over six slices of 5 s.
"$idle" --timer & timerpid=$!; pids+=($timerpid)
sleep 2
xdotool windowactivate --sync "$board" >/dev/null 2>&1
read -r stopped timer_stopped ratio_stopped <<<"$(shares_sliced "$app" "$timerpid" 6 5)"
echo "board, maximised, every clock stopped: ${stopped}% of one core over 30 s (empty timer beside it: ${timer_stopped}%)"
xdotool key s j
# The four penalty clocks: select each with Tab and give it time.
for _ in 1 2 3 4 5; do xdotool key Tab; done
for _ in 1 2 3 4; do xdotool key a i Tab; done
sleep 1
read -r running timer_running ratio_running <<<"$(shares_sliced "$app" "$timerpid" 6 5)"
echo "board, maximised, every clock running: ${running}% of one core over 30 s (empty timer beside it: ${timer_running}%)"
echo "board resident memory: $(rss "$app") kB"
echo "ratios to the empty timer (median of six 5 s slices): clocks stopped $ratio_stopped (target 1.3), running $ratio_running (target 2)"
