#!/usr/bin/env bash
# The real program killed mid-bout and started again: a seeded bout typed
# through real X keys, SIGKILL at random moments, "Resume Bout" answered Yes.
# Every time the board must come back with the bout it had at the kill.
#   crash_resume.sh <quelvane> <render_display> <journal_check> [kills] [seed]
set -uo pipefail
exe=$1
render=$2
check=$3
kills=${4:-20}
seed=${5:-${QUELVANE_CRASH_SEED:-4242}}
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool
RANDOM=$seed
start_session 1280x800
journal="$HOME/.local/share/Quelvane"
echo "-- seed $seed, $kills kills"

# Where each display sits in the board window.
declare -A rect
for d in nledHomeScore nledVisitorScore nledPeriod tledHomePenalty1 tledHomePenalty2 \
    tledVisitorPenalty1 tledVisitorPenalty2; do
    rect[$d]=$("$render" "$d" 0 "$work/$d.png" 2>/dev/null) || fail "render $d"
done
rows() { "$check" "$journal" count; }

# One operator action, chosen by the seed.
act() {
    case $((RANDOM % 9)) in
    0) select_display nledHomeScore; xdotool key plus $((RANDOM % 4 + 1)) ;;
    1) select_display nledVisitorScore; xdotool key $((RANDOM % 9 + 1)) $((RANDOM % 10)) Return ;;
    2) select_display nledPeriod; xdotool key $((RANDOM % 4 + 1)) ;;
    3) local p=(tledHomePenalty1 tledHomePenalty2 tledVisitorPenalty1 tledVisitorPenalty2)
       select_display "${p[$((RANDOM % 4))]}"; xdotool key a ;;
    4) xdotool key s ;;
    5) xdotool key j ;;
    6) xdotool key r ;;
    7) select_display nledHomeScore; xdotool key minus 1 ;;
    8) xdotool key i ;;
    esac
}

# Waits up to 2 s for the journal to have more than n rows; prints the count.
rows_after() {
    local n=$1 now
    for _ in $(seq 40); do
        now=$(rows)
        [ "$now" -gt "$n" ] && break
        sleep 0.05
    done
    echo "$now"
}

start_board() { launch_board "$1"; }

survived=0
start_board fresh
for kill in $(seq "$kills"); do
    count=$(rows)
    for _ in $(seq $((RANDOM % 4 + 1))); do
        act
        count=$(rows_after "$count")
    done
    [ "$count" -gt 0 ] || { act; count=$(rows_after "$count"); }
    sleep "0.$((RANDOM % 10))"
    kill -9 "$program"
    wait "$program" 2>/dev/null
    start_board resume
    after=$(rows_after "$count")
    if result=$("$check" "$journal" resumed "$count"); then
        survived=$((survived + 1))
        echo "   kill $kill: $result"
    else
        echo "   kill $kill: $result"
    fi
done
echo "-- $survived of $kills kills survived"

# The bout just resumed still has its undo history: Ctrl+Z takes back the
# last change made before the kill.
count=$(rows)
xdotool key ctrl+z
rows_after "$count" >/dev/null
undone=$("$check" "$journal" last)
case "$undone" in "Undo: "*) echo "   after resuming, $undone" ;;
*) fail "Ctrl+Z after resuming took nothing back (last row: $undone)" ;; esac
kill -9 "$program"
wait "$program" 2>/dev/null

# Escape on the question starts a fresh board for now; the bout is offered
# again at the next start.
start_board later
kill -9 "$program"
wait "$program" 2>/dev/null
start_board resume
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null

# The bout's record: a header and a line per row of the journal.
"$exe" --export-bout "$work/bout.csv" || fail "--export-bout failed"
"$exe" --export-bout="$work/same.csv" || fail "--export-bout=FILE failed"
cmp -s "$work/bout.csv" "$work/same.csv" || fail "--export-bout=FILE wrote another record"
head -n1 "$work/bout.csv" | grep -q '^bout,Home,Home,Visitor' || fail "the bout record names no bout"
sed -n 2p "$work/bout.csv" | grep -q '^time,description,home score,visitor score,period,period clock,jam clock,home penalty 1,home penalty 2,visitor penalty 1,visitor penalty 2' ||
    fail "the bout record has no header"
[ "$(($(wc -l <"$work/bout.csv") - 2))" -eq "$(rows)" ] || fail "the bout record lacks rows"
grep -q ',Bout resumed,' "$work/bout.csv" || fail "the bout record lacks the resumptions"
[ "$survived" -eq "$kills" ] || fail "the bout was not kept at every kill (seed $seed)"

# A backup tool puts an older copy in the journal's place mid-bout: the next
# change notices, keeps the copy aside, and the bout goes on in a new journal.
start_board resume
cp "$journal/journal.sqlite" "$work/older.sqlite"
mv -f "$work/older.sqlite" "$journal/journal.sqlite"
select_display nledVisitorScore
xdotool key 4 1 7 Return
for _ in $(seq 40); do
    [ "$("$check" "$journal" last)" = "Visitor score 417" ] && break
    sleep 0.05
done
[ "$("$check" "$journal" last)" = "Visitor score 417" ] || fail "the bout did not go on in a new journal"
ls "$journal"/journal.sqlite.damaged-* >/dev/null 2>&1 || fail "the replaced journal was not kept aside"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
echo "PASS: the bout survived $kills kills"
