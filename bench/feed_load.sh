#!/usr/bin/env bash
# The live feed under load, on the running program (Xvfb 1920 x 1080,
# maximised, every clock running): its CPU share without clients and with
# 200 WebSocket clients, and its memory while they stay.
#   bench/feed_load.sh [build folder] [minutes with clients, default 1]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
minutes="${2:-1}"
exe="$PWD/$build/src/app/quelvane"
clients="$PWD/$build/bench/feed_clients"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null & pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 & pids+=($!)
sleep 0.5
window_named() {
    for _ in $(seq 2000); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -v "^${2:-none}\$" | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.005
    done
    return 1
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
share() {
    local a b hz
    hz=$(getconf CLK_TCK)
    a=$(cpu_ticks "$1"); sleep "$2"; b=$(cpu_ticks "$1")
    awk -v t=$((b - a)) -v hz="$hz" -v s="$2" 'BEGIN { printf "%.2f", 100 * t / hz / s }'
}

port=$((20000 + RANDOM % 20000))
"$exe" --feed "127.0.0.1:$port" & app=$!; pids+=($app)
splash=$(window_named Quelvane)
eval "$(xdotool getwindowgeometry --shell "$splash")"
xdotool mousemove $((X + 40)) $((Y + 30)) click 1
board=$(window_named Quelvane "$splash")
wmctrl -i -r "$board" -b add,maximized_vert,maximized_horz
sleep 1
xdotool windowactivate --sync "$board" >/dev/null 2>&1
xdotool key s j
for _ in 1 2 3 4 5; do xdotool key Tab; done
for _ in 1 2 3 4; do xdotool key a i Tab; done
sleep 1
alone=$(share "$app" 20)
echo "every clock running, no feed clients: ${alone}% of one core over 20 s, ${rss_alone:=$(rss "$app")} kB"
"$clients" "ws://127.0.0.1:$port/ws" 200 $((minutes * 60 + 25)) >"$work/clients.txt" & watcher=$!
sleep 3
with=$(share "$app" 20)
echo "with 200 WebSocket clients: ${with}% of one core over 20 s, $(rss "$app") kB"
awk -v a="$alone" -v w="$with" 'BEGIN { if (a > 0) printf "ratio: %.2f\n", w / a }'
for m in $(seq "$minutes"); do
    sleep $((m == 1 ? 37 : 60))
    echo "after $m min with the clients: $(rss "$app") kB"
done
wait "$watcher"
cat "$work/clients.txt"
