#!/usr/bin/env bash
# The jam number, timeouts and official reviews on the real program, driven
# by real X keys, and read back from its live feed: jams counted and not,
# each key's effect, a review retained, a timeout undone, a new period, and
# the timeouts kept across a kill and "Resume Bout"; and each rules key held
# down, X repeating it, on a machine whose every core is busy.
#   bout_rules.sh <quelvane> <render_display>
set -uo pipefail
exe=$1
render=$2
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool xset curl
step() { echo "-- $*"; }
start_session 1280x800
mkdir -p "$XDG_CONFIG_HOME/Quelvane"
printf '[BoutRules]\nShow=1\n[TextSettings]\nHomeText=Wreckers\nVisitorText=Rollers\n' \
    >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"
port=$((20000 + RANDOM % 20000))

start_board() { launch_board "$1" --feed "127.0.0.1:$port"; }

# The feed's state has every pattern given, within 3 s (sorted keys, compact).
shows() {
    local state
    for _ in $(seq 60); do
        state=$(curl -s --max-time 2 "http://127.0.0.1:$port/state.json")
        local all=yes pattern
        for pattern in "$@"; do
            grep -q -- "$pattern" <<<"$state" || all=no
        done
        [ $all = yes ] && return 0
        sleep 0.05
    done
    echo "   the feed says: $(grep -o '"home":{[^}]*}\|"visitor":{[^}]*}\|"jam":{[^}]*}\|"status":"[^"]*"' <<<"$state" | tr '\n' ' ')" >&2
    return 1
}
home() { echo "\"home\":{\"name\":\"Wreckers\",\"reviews\":$1,\"score\":\"0\",\"timeouts\":$2}"; }
visitor() { echo "\"visitor\":{\"name\":\"Rollers\",\"reviews\":$1,\"score\":\"0\",\"timeouts\":$2}"; }

step "jams are counted when the jam clock starts from its reset time, not when it goes on"
start_board fresh
shows '"number":"0"' '"status":""' || fail "no jam number 0 at the start"
xdotool key j j r j j
shows '"number":"2"' || fail "two jams were not counted"
xdotool key j j r
shows '"number":"2"' || fail "a restarted jam was counted"

step "a team timeout stops the period clock, takes a dot and says so; the next jam clears it"
xdotool key s
shows '"period":{[^}]*"running":true' || fail "the period clock did not start"
xdotool key h
shows "$(home 1 2)" '"status":"Team Timeout — Wreckers"' '"period":{[^}]*"running":false' ||
    fail "H did not take a home timeout"
xdotool key j
shows '"status":""' '"number":"3"' || fail "the next jam did not clear the caption"
xdotool key h v o q w
shows "$(home 1 2)" "$(visitor 1 3)" '"status":""' || fail "keys acted while the jam ran"
xdotool key j r

step "official timeout, reviews, a review retained, and a timeout undone"
xdotool key o
shows '"status":"Official Timeout"' || fail "O did not call an official timeout"
xdotool key w
shows "$(visitor 0 3)" '"status":"Official Review — Rollers"' || fail "W did not take a review"
xdotool key w
shows "$(visitor 0 3)" || fail "a second review was taken in the period"
xdotool key e
shows "$(visitor 1 3)" || fail "E did not give the review back"
xdotool key v
shows "$(visitor 1 2)" || fail "V did not take a visitor timeout"
xdotool key ctrl+z
shows "$(visitor 1 3)" || fail "Ctrl+Z did not give the timeout back"

step "1 typed over 0 mends the number; then a new period gives the reviews back and counts jams from 0"
xdotool key q
shows "$(home 0 2)" || fail "Q did not take a home review"
read -r x y w h <<<"$("$render" nledPeriod 0 "$work/period.png" 2>/dev/null)"
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1 key 1 Return
shows '"number":"3"' "$(home 0 2)" || fail "1 typed over 0 lost the count or the review"
xdotool key 2 Return
shows '"number":"0"' "$(home 1 2)" || fail "the new period kept the count or the review"

step "killed and resumed: the timeouts taken are still taken"
kill -9 "$program"
wait "$program" 2>/dev/null
start_board resume
shows "$(home 1 2)" "$(visitor 1 3)" || fail "the resumed bout lost its timeouts"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
"$exe" --export-bout - | sed -n 2p | grep -q ',jam number' || fail "the record has no jam number"
step "a key held down with every core busy: one press (9 timeouts and 9 reviews allowed)"
export HOME="$work/held" XDG_CONFIG_HOME="$work/held/config"
mkdir -p "$XDG_CONFIG_HOME/Quelvane"
printf '[BoutRules]\nShow=1\nTeamTimeouts=9\nTeamReviews=9\n[TextSettings]\nHomeText=Wreckers\nVisitorText=Rollers\n' \
    >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"
start_board fresh
# X repeats a held key as a release and a press with one timestamp, 30 a
# second here after a quarter of a second.
xset r on
xset r rate 250 30
xset q | grep -q "auto repeat:  on" || fail "X does not repeat keys"
load_every_core
hold() {
    xdotool keydown "$1"
    sleep 1.5
    xdotool keyup "$1"
}
hold h
shows "$(home 9 8)" '"status":"Team Timeout — Wreckers"' || fail "a held H took more than one timeout"
hold v
shows "$(visitor 9 8)" || fail "a held V took more than one timeout"
hold o
shows '"status":"Official Timeout"' "$(home 9 8)" "$(visitor 9 8)" || fail "a held O did more"
hold q
shows "$(home 8 8)" '"status":"Official Review — Wreckers"' || fail "a held Q took more than one review"
hold w
shows "$(visitor 8 8)" "$(home 8 8)" || fail "a held W took more than one review"
kill "${busy[@]}" 2>/dev/null
# Every repeat has been read by now.
shows "$(home 8 8)" "$(visitor 8 8)" || fail "late repeats took more"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
echo "PASS: jam number, timeouts and reviews on the real program"
