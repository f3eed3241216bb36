#!/usr/bin/env bash
# The running program on a private X server (1920 x 1080, with a window
# manager): start to the board on screen, and the CPU share over 20 s with
# every clock running, maximised, against an idle Qt window.
#   bench/live.sh [build folder]
# QUELVANE_LIVE_JOURNAL=<folder> starts it with the bout journal of that
# folder (for example one that bench_journal filled).
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
exe="$PWD/$build/src/app/quelvane"
idle="$PWD/$build/bench/idle_window"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
if [ -n "${QUELVANE_LIVE_JOURNAL:-}" ]; then
    mkdir -p "$work/.local/share/Quelvane"
    cp "$QUELVANE_LIVE_JOURNAL"/journal.sqlite* "$work/.local/share/Quelvane/"
fi
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null & pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 & pids+=($!)
sleep 0.5

now_ms() { date +%s%3N; }
window_named() {
    for _ in $(seq 2000); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -v "^${2:-none}\$" | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.005
    done
    return 1
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

started=$(now_ms)
"$exe" & app=$!; pids+=($app)
splash=$(window_named Quelvane)
shown=$(now_ms)
eval "$(xdotool getwindowgeometry --shell "$splash")"
clicked=$(now_ms)
xdotool mousemove $((X + 40)) $((Y + 30)) click 1
board=$(window_named Quelvane "$splash")
painted=$(now_ms)
echo "start to splash on screen: $((shown - started)) ms"
echo "click to board on screen: $((painted - clicked)) ms"

wmctrl -i -r "$board" -b add,maximized_vert,maximized_horz
sleep 1
xdotool windowactivate --sync "$board" >/dev/null 2>&1
xdotool key s j
# The four penalty clocks: select each with Tab and give it time.
for _ in 1 2 3 4 5; do xdotool key Tab; done
for _ in 1 2 3 4; do xdotool key a i Tab; done
sleep 1
hz=$(getconf CLK_TCK)
a=$(cpu_ticks "$app"); sleep 20; b=$(cpu_ticks "$app")
board_share=$(awk -v t=$((b - a)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / 20 }')
echo "board, maximised, every clock running: ${board_share}% of one core over 20 s"

"$idle" & idlepid=$!; pids+=($idlepid)
sleep 2
a=$(cpu_ticks "$idlepid"); sleep 20; b=$(cpu_ticks "$idlepid")
idle_share=$(awk -v t=$((b - a)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / 20 }')
echo "idle Qt window, maximised: ${idle_share}% of one core over 20 s"
awk -v b="$board_share" -v i="$idle_share" 'BEGIN {
    if (i > 0) printf "ratio: %.1f\n", b / i; else print "ratio: the idle window used no measurable CPU" }'
rss=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")
echo "board resident memory: ${rss} kB"
