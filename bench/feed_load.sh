#!/usr/bin/env bash
# The live feed under load, on the running program (Xvfb 1920 x 1080,
# maximised, every clock running): its CPU share without clients and with
# 200 WebSocket clients, and its memory and the bytes each client gets while
# they stay.
#   [QUELVANE=program] bench/feed_load.sh [build folder] [minutes with clients, default 1]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
minutes="${2:-1}"
clients="$PWD/$build/bench/feed_clients"
source bench/session.sh
feed_board 1920x1080
wmctrl -i -r "$board" -b add,maximized_vert,maximized_horz
sleep 1
xdotool windowactivate --sync "$board" >/dev/null 2>&1
xdotool key s j
for _ in 1 2 3 4 5; do xdotool key Tab; done
for _ in 1 2 3 4; do xdotool key a i Tab; done
sleep 1
alone=$(share "$app" 20)
echo "every clock running, no feed clients: ${alone}% of one core over 20 s, $(rss "$app") kB"
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
