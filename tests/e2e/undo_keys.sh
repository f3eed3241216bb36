#!/usr/bin/env bash
# Undo on the real program, by real X keys, every core busy, read back from
# its live feed: a clock started or stopped after the change keeps its state
# and moves only by what the change did, and time that ran is kept.
#   undo_keys.sh <quelvane> <render_display>
# Each row is a fresh bout: the keys before the undo, then what the undone
# clock must show (its time against the one the change was made on) and
# whether it runs.
set -uo pipefail
exe=$1
render=$2
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool curl
start_session 1280x800
port=$((20000 + RANDOM % 20000))

declare -A rect
for d in tledPeriod tledJam tledHomePenalty1 nledHomeScore nledVisitorScore; do
    rect[$d]=$("$render" "$d" 0 "$work/$d.png" 2>/dev/null) || fail "render $d"
done

state() { curl -s --max-time 2 "http://127.0.0.1:$port/state.json"; }
# A clock's time in whole seconds and whether it runs, from the bout the
# feed carries: "period", "jam" or "penalty" (home penalty 1).
read_clock() {
    local name=$1 o ticks running=false
    [ "$name" = penalty ] && name=homePenalty1
    o=$(state | grep -o "\"$name\":{\"running\":[a-z]*,[^}]*}" | head -n1)
    echo "$o" >"$work/last-clock"
    ticks=$(sed 's/.*"ticks":\([0-9]*\).*/\1/' <<<"$o")
    grep -q '"running":true' <<<"$o" && running=true
    echo "$(((${ticks:-0} + 5000) / 10000)) $running"
}
# Waits until the feed has the clock's time settled after a key.
settle() { sleep 0.4; }

start_board() {
    export HOME="$work/home-$1" XDG_CONFIG_HOME="$work/config-$1"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/Quelvane"
    printf '[BoutRules]\nShow=1\n' >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"
    launch_board "${2:-fresh}" --feed "127.0.0.1:$port"
    for _ in $(seq 50); do state | grep -q '"period"' && return 0; sleep 0.1; done
    fail "no feed"
}

load_every_core

# Runs a row: `before` keys, then the change (its clock read just before),
# then `after` keys ending in the undo or redo, and checks the clock is at
# the time it had when the change was made, less `ran` seconds that it ran
# after ("-": no later than then, and no caption), and runs or not.
# Keys: a word is an xdotool key; "wait N" sleeps; "select D" clicks D.
run_keys() {
    local k
    for k in "$@"; do
        case $k in
        wait:*) sleep "${k#wait:}" ;;
        select:*) select_display "${k#select:}" ;;
        *) xdotool key "$k" ;;
        esac
    done
}
rows=0
row() {
    local name=$1 clock=$2 ran=$3 runs=$4 before=$5 change=$6 after=$7
    rows=$((rows + 1))
    echo "-- $name"
    start_board "$rows"
    # shellcheck disable=SC2086
    run_keys $before
    settle
    local at_change
    read -r at_change _ <<<"$(read_clock "$clock")"
    # shellcheck disable=SC2086
    run_keys $change
    # shellcheck disable=SC2086
    run_keys $after
    settle
    local t running
    read -r t running <<<"$(read_clock "$clock")"
    local want=$((at_change - ${ran/-/0}))
    local wrong=no
    if [ "$ran" = - ]; then
        [ "$t" -gt "$want" ] && wrong=yes
        state | grep -q '"status":""' || wrong=yes
    elif [ $((t - want)) -gt 1 ] || [ $((want - t)) -gt 1 ]; then
        wrong=yes
    fi
    if [ $wrong = yes ] || [ "$running" != "$runs" ]; then
        kill "$program" 2>/dev/null
        fail "$name: the $clock clock shows ${t}s, running $running; it should show ${want}s, running $runs"
    fi
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
}

#   name                              clock  ran runs  before            change          after
row "a time typed on the running period, then S and S" period 2 false \
    "s wait:2" "select:tledPeriod 1 5 period 0 0 Return" "s wait:2 s ctrl+z"
row "a jam reset in play, then J and J" jam 2 false \
    "j wait:3" "r" "j wait:2 j ctrl+z"
row "A on a running penalty, then S for a timeout" penalty 0 false \
    "select:tledHomePenalty1 a s wait:3" "a" "s ctrl+z"
row "a time typed on the stopped period, then S and S" period 5 false \
    "" "select:tledPeriod 5 period 0 0 Return" "s wait:5 s ctrl+z"
row "A again on a served penalty, then I and 3 s more" penalty 3 true \
    "select:tledHomePenalty1 a s wait:3" "a" "i wait:3 ctrl+z"
# A timeout undone and done again after the next jam started: the period
# clock started since runs on, and the caption the jam cleared stays clear.
row "a timeout redone while the next jam runs" period - true \
    "s wait:2" "h" "s j select:nledHomeScore 5 Return ctrl+z ctrl+z ctrl+y"

echo "-- the journal's file, then its log, removed in play; killed, resumed, four undos"
start_board journal
journal="$HOME/.local/share/Quelvane/journal.sqlite"
scores() { state | grep -o '"homeScore":[-0-9]*,"periodNumber":[-0-9]*,"visitorScore":[-0-9]*'; }
type_score() {
    select_display "$1"
    xdotool type --delay 50 "$2"
    xdotool key Return
    sleep 0.3
}
type_score nledVisitorScore 7
for s in 10 20 30; do type_score nledHomeScore $s; done
rm -f "$journal"
for s in 40 50; do type_score nledHomeScore $s; done
rm -f "$journal-wal" "$journal-shm"
for s in 60 70; do type_score nledHomeScore $s; done
sleep 0.5
kill -9 "$program"
wait "$program" 2>/dev/null
start_board journal resume
[ "$(scores)" = '"homeScore":70,"periodNumber":0,"visitorScore":7' ] ||
    fail "the resumed bout is $(scores), not home 70, visitor 7"
xdotool key ctrl+z ctrl+z ctrl+z ctrl+z
sleep 0.5
# Each undo takes back one score as it was typed, the first row of the new
# journal included; nothing else.
[ "$(scores)" = '"homeScore":30,"periodNumber":0,"visitorScore":7' ] ||
    fail "four undos gave $(scores), not home 30, visitor 7"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null

kill "${busy[@]}" 2>/dev/null
echo "PASS: undo moves back only what the key changed, $rows rows, and after a lost journal"
