#!/usr/bin/env bash
# A whole short bout run by the clock on the real program, by real X keys,
# read back from its live feed after every step: jams and lineups, a team
# timeout ended by the next jam, an official review, the first period
# running out in a lineup, halftime across a kill and "Resume Bout", the
# second running out in a jam, a tie, overtime and the final score; a
# loop spins on every core throughout.
#   whole_bout.sh <quelvane> <render_display>
# What each step must show is what the rules of a bout say, from the
# moments this script pressed its keys: a lineup clock counts up from the
# jam's end, a team timeout down from 1:00, the intermission down from its
# length, and a stopped period clock stands.
set -uo pipefail
exe=$1
render=$2
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool xset curl jq
start_session 1280x800
port=$((20000 + RANDOM % 20000))
jam_length=15 period_length=30 intermission=8
mkdir -p "$XDG_CONFIG_HOME/Quelvane"
printf '[BoutRules]\nShow=1\nRunByClock=1\nPeriods=2\nIntermissionSeconds=%s\n' "$intermission" \
    >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"

declare -A rect
for d in tledPeriod tledJam nledHomeScore nledVisitorScore; do
    rect[$d]=$("$render" "$d" 0 "$work/$d.png" 2>/dev/null) || fail "render $d"
done

state() { curl -s --max-time 2 "http://127.0.0.1:$port/state.json"; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
step() { echo "-- $*"; }

# The feed's state, read as a bout: a clock's text in seconds ("1:05",
# "0:42", "9.3" in a jam's last minute), "" as null.
reader='
def secs: if . == "" or . == null then null
          elif test(":") then split(":") | (.[0] | tonumber) * 60 + (.[1] | tonumber)
          else tonumber end;
def near(want; slack): . != null and (. - want) <= slack and (want - .) <= slack;
{phase, status, jam: .jam.number, period: .period.number,
 periodClock: (.period.clock | secs), periodRuns: .period.running,
 jamClock: (.jam.clock | secs), jamRuns: .jam.running,
 lineup: (.lineup.clock | secs), timeout: (.timeout.clock | secs),
 intermission: (.intermission.clock | secs),
 homeLead: .home.lead, visitorLead: .visitor.lead,
 homePoints: .home.jamPoints, visitorPoints: .visitor.jamPoints,
 homeScore: .home.score, visitorScore: .visitor.score,
 homeTimeouts: .home.timeouts, homeReviews: .home.reviews, visitorTimeouts: .visitor.timeouts,
 visitorReviews: .visitor.reviews}'

# Waits up to 3 s for the bout to be as the jq condition says (over the
# fields above, with `near(want; slack)` for a clock), or fails saying what
# it is instead.
expect() {
    local what=$1 condition=$2 got=""
    for _ in $(seq 30); do
        got=$(state | jq -c "$reader | . as \$b | select($condition) | \$b" 2>/dev/null)
        [ -n "$got" ] && return 0
        sleep 0.1
    done
    got=$(state | jq -c "$reader" 2>/dev/null)
    kill "$program" 2>/dev/null
    fail "$what: the bout is $got"
}

type_on() {
    select_display "$1"
    xdotool type --delay 60 "$2"
    xdotool key Return
    sleep 0.3
}
key() { xdotool key "$1"; }
# The program killed as a power cut would, and started again answering
# "Resume Bout".
killed_and_resumed() {
    kill -9 "$program"
    wait "$program" 2>/dev/null
    sleep 1
    launch_board resume --feed "127.0.0.1:$port"
    for _ in $(seq 50); do state | grep -q '"phase"' && break; sleep 0.1; done
}

xset r rate 300 30
load_every_core
launch_board fresh --feed "127.0.0.1:$port"
for _ in $(seq 50); do state | grep -q '"phase"' && break; sleep 0.1; done
step "a short bout: the jam and period lengths typed, the intermission from the settings"
type_on tledJam "$(printf 0.%02d "$jam_length")"
type_on tledPeriod "$(printf 0.%02d "$period_length")"
expect "before the first jam" \
    '.phase == "lineup" and .status == "Lineup" and .jam == "0" and .lineup == null and
     .jamClock == '$jam_length' and .periodClock == '$period_length' and (.periodRuns | not)'

step "J, held down and repeated by X, starts the first jam and the period clock with it"
xdotool keydown j
sleep 1.5
xdotool keyup j
expect "the first jam" '.phase == "jam" and .jam == "1" and .period == "1" and .jamRuns and
    .periodRuns and .status == "" and (.homeLead | not) and .homePoints == 0'
step "L marks home lead"
key l
type_on nledHomeScore +4
expect "home lead, four points in the jam" \
    '.homeLead and (.visitorLead | not) and .homePoints == 4 and .visitorPoints == 0'
key k
expect "the lead passes to the visitor" '.visitorLead and (.homeLead | not)'
key k
expect "K again takes it back" '(.visitorLead | not) and (.homeLead | not)'
step "killed with the lead taken back the last change, and resumed: the jam runs on, no lead"
killed_and_resumed
expect "the jam resumed" '.phase == "jam" and .jamRuns and (.homeLead | not) and
    (.visitorLead | not) and .homePoints == 4'
key l

step "J ends the jam into a lineup counting up; the lead and the points stay"
key j
lineup_at=$(now)
sleep 2
expect "a lineup" '.phase == "lineup" and .status == "Lineup" and (.jamRuns | not) and
    .periodRuns and .homeLead and .homePoints == 4 and (.lineup | near('"$(since "$lineup_at")"'; 1))'
key ctrl+z
expect "the lead, marked by mistake, taken back after the jam's end" \
    '.phase == "lineup" and (.homeLead | not) and .homePoints == 4 and (.jamRuns | not)'

step "the second jam runs out by itself into a lineup"
key j
expect "the second jam" '.phase == "jam" and .jam == "2" and (.homeLead | not) and
    .homePoints == 0 and .jamClock <= '$jam_length' and .jamClock >= '$((jam_length - 1))
sleep "$jam_length"
expect "the lineup after it" '.phase == "lineup" and .jam == "2" and (.jamRuns | not) and .periodRuns'

step "a home team timeout stops the period clock and counts a minute down"
key h
timeout_at=$(now)
expect "a team timeout" '.phase == "timeout" and (.periodRuns | not) and .status != "Lineup"'
stood=$(state | jq "$reader | .periodClock")
sleep 2
expect "the timeout's clock, the period clock standing" \
    '.phase == "timeout" and (.timeout | near('"$(awk -v s="$(since "$timeout_at")" 'BEGIN { print 60 - s }')"'; 1)) and
     .periodClock == '"$stood"' and (.periodRuns | not)'

step "J starts the next jam from the timeout, and the period clock with it"
key j
expect "the third jam" '.phase == "jam" and .jam == "3" and .periodRuns and .jamRuns'
sleep 1
key j

step "an official review at the home team's call, counting up; Q again ends it"
key q
review_at=$(now)
expect "a review" '.phase == "review" and (.periodRuns | not) and .homeReviews == 0 and
    .homeTimeouts == 2'
sleep 1.5
expect "its clock" '.phase == "review" and (.timeout | near('"$(since "$review_at")"'; 1))'
key q
expect "a lineup after it" '.phase == "lineup" and (.periodRuns | not) and .jam == "3"'
step "killed with the review's end the last change, and resumed: still the lineup"
killed_and_resumed
expect "the lineup resumed" '.phase == "lineup" and (.periodRuns | not) and .jam == "3"'
key s
expect "S runs the period clock on in the lineup" '.phase == "lineup" and .periodRuns'

step "the period clock runs out in the lineup: halftime at once"
left=$(state | jq "$reader | .periodClock")
sleep "$left"
expect "halftime" '.phase == "halftime" and .status == "Halftime" and .period == "1" and
    .intermission <= '$intermission' and .intermission >= '$((intermission - 2))
shown=$(state | jq "$reader | .intermission")
shown_at=$(now)
step "killed at halftime and resumed: the intermission ran on meanwhile"
killed_and_resumed
expect "halftime, resumed" '.phase == "halftime" and .status == "Halftime" and .period == "1" and
    .jam == "3" and .homeScore == "4" and
    (.intermission | near('"$(awk -v i="$shown" -v s="$(since "$shown_at")" 'BEGIN { print i - s }')"'; 1))'

step "a time typed on the period display at halftime is the intermission's"
type_on tledPeriod 0.04
expect "the intermission typed" '.phase == "halftime" and (.intermission | near(4; 1))'

step "the intermission runs out: period 2, its clock at full length, jams from 0"
left=$(state | jq "$reader | .intermission")
sleep "$left"
expect "the second period's lineup" '.phase == "lineup" and .period == "2" and .jam == "0" and
    .periodClock == '$period_length' and (.periodRuns | not) and .homeReviews == 1 and
    .homeTimeouts == 2'
key j
expect "its first jam starts the period clock" '.phase == "jam" and .jam == "1" and .periodRuns'
type_on nledVisitorScore 4
expect "the visitor's four points" '.visitorPoints == 4 and .homePoints == 0'
key j
expect "a lineup" '.phase == "lineup" and .visitorPoints == 4'
key v
expect "a visitor timeout taken by mistake" '.phase == "timeout" and .visitorTimeouts == 2'
step "killed in that timeout, resumed, and the timeout mended with Ctrl+Z"
killed_and_resumed
key ctrl+z
expect "the timeout taken back" '.phase == "lineup" and .visitorTimeouts == 3 and .periodRuns'

step "the period clock runs out in a jam: it is the last, and runs to its end"
until state | jq -e "$reader | .periodClock <= 3" >/dev/null; do sleep 0.2; done
key j
sleep 3.5
expect "the last jam" '.phase == "jam" and .status == "Last Jam" and .jamRuns and
    .periodClock == 0 and .jam == "2"'
key j
expect "tied at its end: overtime, a lineup" \
    '.phase == "overtime" and .status == "Overtime" and (.lineup | near(0; 1))'

step "the overtime jam, the last; untied at its end: the unofficial, then the final score"
# (a J this soon after the jam's end would be taken for that end's)
sleep 1.5
key j
expect "the overtime jam" '.phase == "jam" and .jam == "3" and .status == "Last Jam" and
    .periodClock == 0 and .jamRuns'
key k
type_on nledVisitorScore +1
expect "the visitor ahead, lead" '.visitorLead and .visitorPoints == 1 and .visitorScore == "5"'
key j
expect "the unofficial score" '.phase == "unofficial" and .status == "Unofficial Score"'
key w
expect "a review of the last jam before the score is final" '.phase == "unofficial" and
    .status == "Official Review — Visitor" and .visitorReviews == 0'
key j
sleep 0.5
expect "J starts no jam once the bout is over" '.phase == "unofficial" and (.jamRuns | not) and .jam == "3"'
key f
expect "the final score" '.phase == "final" and .status == "Final Score" and
    .homeScore == "4" and .visitorScore == "5"'
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
echo "PASS: a whole bout run by the clock"
