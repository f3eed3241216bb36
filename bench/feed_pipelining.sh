#!/usr/bin/env bash
# The live feed against devices that send many requests at once and never
# read the answers: 250 connections (10 addresses) pipelining 400 requests
# for /board each, held for 20 s. Says the program's resident memory before
# and at its highest meanwhile.
#   [QUELVANE=program] bench/feed_pipelining.sh [build folder] [connections] [requests]
#       [client receive buffer in bytes: the kernel holds that little of the answers]
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
connections="${2:-250}"
requests="${3:-400}"
receive="${4:-}"
pipelining="$PWD/$build/bench/feed_pipelining"
source bench/session.sh
# Another copy of the program may be named, so that a build meanwhile does not change it.
exe="${QUELVANE:-$exe}"
start_session 1280x800

port=$((20000 + RANDOM % 20000))
"$exe" --feed "127.0.0.1:$port" & app=$!; pids+=($app)
splash=$(window_named Quelvane)
board=$(open_board "$splash")
sleep 2
before=$(rss "$app")
"$pipelining" "http://127.0.0.1:$port/board" "$connections" "$requests" 20 $receive >"$work/held.txt" & held=$!
highest=$before
while kill -0 "$held" 2>/dev/null; do
    now=$(rss "$app")
    [ "$now" -gt "$highest" ] && highest=$now
    sleep 0.2
done
cat "$work/held.txt"
echo "resident memory: $before kB before, at most $highest kB meanwhile: $(((highest - before) / 1024)) MB more"
echo "after: $(rss "$app") kB"
