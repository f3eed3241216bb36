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
mkdir -p "$XDG_CONFIG_HOME/Quelvane"
printf '[BoutRules]\nShow=1\nRunByClock=1\nPeriods=2\nIntermissionSeconds=8\n' \
    >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"

declare -A rect
for d in tledPeriod tledJam nledHomeScore nledVisitorScore; do
    rect[$d]=$("$render" "$d" 0 "$work/$d.png" 2>/dev/null) || fail "render $d"
done

state() { curl -s --max-time 2 "http://127.0.0.1:$port/state.json"; }
now() { date +%s.%N; }

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
field() { state | jq "$reader | .$1"; }

# Moments the script marked (`$name` in a condition: the seconds since) and
# values it kept (`$name`: the value), for the conditions.
declare -A marks kept
bindings() {
    local name
    for name in "${!marks[@]}"; do
        printf -- '--argjson %s %s ' "$name" "$(awk -v a="${marks[$name]}" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')"
    done
    for name in "${!kept[@]}"; do printf -- '--argjson %s %s ' "$name" "${kept[$name]}"; done
}
# True when the bout is as the jq condition says, over the fields above.
is() {
    # shellcheck disable=SC2046
    state | jq -e $(bindings) "$reader | $1" >/dev/null 2>&1
}

# The program killed as a power cut would, and started again answering
# "Resume Bout".
killed_and_resumed() {
    kill -9 "$program"
    wait "$program" 2>/dev/null
    sleep 1
    launch_board resume --feed "127.0.0.1:$port"
    for _ in $(seq 50); do state | grep -q '"phase"' && break; sleep 0.1; done
}

# One step of the bout: what the operator does, then what the bout must be
# within 3 s. A word of `does`: an X key ("j", "ctrl+z"); hold:KEY (held
# 1.5 s, X repeating it); type:DISPLAY:TEXT (clicked, typed, Enter);
# wait:SECONDS; waitfor:FIELD (as many seconds as the clock shows);
# until:CONDITION; mark:NAME (this moment); keep:NAME:FIELD; resume (killed
# and resumed).
play() {
    local what=$1 does=$2 condition=$3 word got
    echo "-- $what"
    for word in $does; do
        case $word in
        hold:*) xdotool keydown "${word#hold:}" && sleep 1.5 && xdotool keyup "${word#hold:}" ;;
        type:*)
            word=${word#type:}
            select_display "${word%%:*}"
            xdotool type --delay 60 "${word#*:}" && xdotool key Return && sleep 0.3
            ;;
        wait:*) sleep "${word#wait:}" ;;
        waitfor:*) sleep "$(field "${word#waitfor:}")" ;;
        until:*) until is "${word#until:}"; do sleep 0.2; done ;;
        mark:*) marks[${word#mark:}]=$(now) ;;
        keep:*) word=${word#keep:} && kept[${word%%:*}]=$(field "${word#*:}") ;;
        resume) killed_and_resumed ;;
        *) xdotool key "$word" ;;
        esac
    done
    for _ in $(seq 30); do is "$condition" && return 0; sleep 0.1; done
    got=$(state | jq -c "$reader" 2>/dev/null)
    kill "$program" 2>/dev/null
    fail "$what: the bout is $got"
}

xset r rate 300 30
load_every_core
launch_board fresh --feed "127.0.0.1:$port"
for _ in $(seq 50); do state | grep -q '"phase"' && break; sleep 0.1; done

# A jam of 15 s and a period of 30 s, typed as an operator sets them; the
# intermission of 8 s from the settings.
#    what                                   does
#    what the bout must then be
play "before the first jam: its lengths typed" "type:tledJam:0.15 type:tledPeriod:0.30" \
    '.phase == "lineup" and .status == "Lineup" and .jam == "0" and .lineup == null and
     .jamClock == 15 and .periodClock == 30 and (.periodRuns | not)'
play "J held down, repeated by X, starts one jam and the period clock" "hold:j" \
    '.phase == "jam" and .jam == "1" and .period == "1" and .jamRuns and .periodRuns and
     .status == "" and (.homeLead | not) and .homePoints == 0'
play "home lead, four points in the jam" "l type:nledHomeScore:+4" \
    '.homeLead and (.visitorLead | not) and .homePoints == 4 and .visitorPoints == 0'
play "K passes the lead to the visitor" "k" '.visitorLead and (.homeLead | not)'
play "K again takes it back" "k" '(.visitorLead | not) and (.homeLead | not)'
play "killed with that the last change, resumed: the jam runs on, no lead" "resume" \
    '.phase == "jam" and .jamRuns and (.homeLead | not) and (.visitorLead | not) and .homePoints == 4'
play "J ends the jam into a lineup counting up; lead and points stay" "l j mark:jamEnd wait:2" \
    '.phase == "lineup" and .status == "Lineup" and (.jamRuns | not) and .periodRuns and .homeLead and
     .homePoints == 4 and (.lineup | near($jamEnd; 1))'
play "the lead, marked by mistake, undone after the jam's end" "ctrl+z" \
    '.phase == "lineup" and (.homeLead | not) and .homePoints == 4 and (.jamRuns | not)'
play "the second jam, from the jam's length" "j" \
    '.phase == "jam" and .jam == "2" and (.homeLead | not) and .homePoints == 0 and
     .jamClock <= 15 and .jamClock >= 14'
play "it runs out by itself into a lineup" "wait:15" \
    '.phase == "lineup" and .jam == "2" and (.jamRuns | not) and .periodRuns'
play "a home team timeout stops the period clock" "h mark:timeout" \
    '.phase == "timeout" and (.periodRuns | not) and .status != "Lineup"'
play "its minute counts down, the period clock stands" "keep:stood:periodClock wait:2" \
    '.phase == "timeout" and (.timeout | near(60 - $timeout; 1)) and .periodClock == $stood and
     (.periodRuns | not)'
play "J starts the next jam from the timeout, and the period clock" "j" \
    '.phase == "jam" and .jam == "3" and .periodRuns and .jamRuns'
play "an official review at the home team's call stops the period clock" "wait:1 j q mark:review" \
    '.phase == "review" and (.periodRuns | not) and .homeReviews == 0 and .homeTimeouts == 2'
play "its clock counts up" "wait:1.5" '.phase == "review" and (.timeout | near($review; 1))'
play "Q again ends it into a lineup" "q" '.phase == "lineup" and (.periodRuns | not) and .jam == "3"'
play "killed with that the last change, resumed: still the lineup" "resume" \
    '.phase == "lineup" and (.periodRuns | not) and .jam == "3"'
play "S runs the period clock on in the lineup" "s" '.phase == "lineup" and .periodRuns'
play "the period runs out in the lineup: halftime at once" "waitfor:periodClock" \
    '.phase == "halftime" and .status == "Halftime" and .period == "1" and
     .intermission <= 8 and .intermission >= 6'
play "killed at halftime, resumed: the intermission ran on meanwhile" \
    "keep:shown:intermission mark:shownAt resume" \
    '.phase == "halftime" and .status == "Halftime" and .period == "1" and .jam == "3" and
     .homeScore == "4" and (.intermission | near($shown - $shownAt; 1))'
play "a time typed on the period display at halftime is the intermission's" \
    "type:tledPeriod:0.04" '.phase == "halftime" and (.intermission | near(4; 1))'
play "the intermission runs out: period 2 at its full length, jams from 0, reviews back" \
    "waitfor:intermission" \
    '.phase == "lineup" and .period == "2" and .jam == "0" and .periodClock == 30 and
     (.periodRuns | not) and .homeReviews == 1 and .homeTimeouts == 2'
play "its first jam starts the period clock" "j" '.phase == "jam" and .jam == "1" and .periodRuns'
play "the visitor's four points" "type:nledVisitorScore:4 j" \
    '.phase == "lineup" and .visitorPoints == 4 and .homePoints == 0'
play "a visitor timeout taken by mistake" "v" '.phase == "timeout" and .visitorTimeouts == 2'
play "killed in it, resumed, and mended with Ctrl+Z" "resume ctrl+z" \
    '.phase == "lineup" and .visitorTimeouts == 3 and .periodRuns'
play "the period runs out in a jam: the last, it runs to its end" \
    "until:.periodClock<=3 j wait:3.5" \
    '.phase == "jam" and .status == "Last Jam" and .jamRuns and .periodClock == 0 and .jam == "2"'
play "tied at its end: overtime, a lineup" "j" \
    '.phase == "overtime" and .status == "Overtime" and (.lineup | near(0; 1))'
# (a J this soon after the jam's end would be taken for that end's)
play "the overtime jam, the last" "wait:1.5 j" \
    '.phase == "jam" and .jam == "3" and .status == "Last Jam" and .periodClock == 0 and .jamRuns'
play "the visitor ahead, lead" "k type:nledVisitorScore:+1" \
    '.visitorLead and .visitorPoints == 1 and .visitorScore == "5"'
play "untied at its end: the unofficial score" "j" \
    '.phase == "unofficial" and .status == "Unofficial Score"'
play "a review of the last jam before the score is final" "w" \
    '.phase == "unofficial" and .status == "Official Review — Visitor" and .visitorReviews == 0'
play "J starts no jam once the bout is over" "j wait:0.5" \
    '.phase == "unofficial" and (.jamRuns | not) and .jam == "3"'
play "F: the final score" "f" \
    '.phase == "final" and .status == "Final Score" and .homeScore == "4" and .visitorScore == "5"'
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
echo "PASS: a whole bout run by the clock"
