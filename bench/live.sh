#!/usr/bin/env bash
# The running program on a private X server (1920 x 1080, with a window
# manager): start to the board on screen, and the CPU share over 20 s with
# every clock stopped and running, maximised, against an empty 50 ms timer
# in a maximised Qt window.
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

# CPU time in nanoseconds (the scheduler's own count, finer than the 10 ms
# of the process clock), over 20 s, as a share of one core.
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
share() {
    local a b
    a=$(cpu_ns "$1"); sleep 20; b=$(cpu_ns "$1")
    awk -v t=$((b - a)) 'BEGIN { printf "%.3f", 100 * t / 20e9 }'
}
stopped=$(share "$app")
echo "board, maximised, every clock stopped: ${stopped}% of one core over 20 s"
xdotool key s j
# The four penalty clocks: select each with Tab and give it time.
for _ in 1 2 3 4 5; do xdotool key Tab; done
for _ in 1 2 3 4; do xdotool key a i Tab; done
sleep 1
running=$(share "$app")
echo "board, maximised, every clock running: ${running}% of one core over 20 s"
rss=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")
echo "board resident memory: ${rss} kB"
kill "$app"

"$idle" --timer & timerpid=$!; pids+=($timerpid)
sleep 2
timer_share=$(share "$timerpid")
echo "empty 50 ms timer in a maximised Qt window: ${timer_share}% of one core over 20 s"
kill "$timerpid"
awk -v s="$stopped" -v r="$running" -v t="$timer_share" 'BEGIN {
    if (t > 0) printf "ratios to the empty timer: clocks stopped %.2f (target 1.3), running %.2f (target 2)\n", s / t, r / t }'
