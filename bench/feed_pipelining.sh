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
feed_board 1280x800
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
