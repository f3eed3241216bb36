#!/usr/bin/env bash
# The real program, driven only from outside as an operator drives it: real
# X input on a real X server with a window manager, sound through a real
# sound server (run inside tests/with-pipewire).
#   e2e_bout.sh <quelvane executable> <render_display executable>
set -uo pipefail
exe=$1
render=$2
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool wmctrl import compare parec sox
step() { echo "-- $*"; }

# The board window's display must show what the renderer draws for value.
# A third argument is the share of its pixels that may differ, in thousandths
# (10 unless given).
expect_display() {
    local name=$1 value=$2 thousandths=${3:-10}
    local rect
    rect=$("$render" "$name" "$value" "$work/expected-$name.png" 2>/dev/null) || fail "render $name"
    read -r x y w h <<<"$rect"
    import -window "$board" "$work/board.png"
    convert "$work/board.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/actual-$name.png"
    local differing
    differing=$(compare -metric AE -fuzz 10% "$work/expected-$name.png" "$work/actual-$name.png" null: 2>&1)
    # Antialiased edges may differ by a few pixels between the two renderings.
    [ "${differing%% *}" -le $((w * h * thousandths / 1000)) ] 2>/dev/null ||
        fail "$name should show $value: $differing pixels differ (see $work)"
    echo "   $name shows $value"
}

start_session 1280x800
store="$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"

step "start with an empty settings store: the splash shows"
"$exe" >"$work/program.log" 2>&1 &
program=$!
splash=$(window_named Quelvane) || fail "no splash"
[ ! -e "$store" ] || fail "the store was written at start"

step "a click opens the board"
board=$(open_board "$splash") || fail "no board"
sleep 0.5
xdotool windowactivate --sync "$board" >/dev/null 2>&1
expect_display tledJam 120
expect_display tledPeriod 600

step "J starts the jam, J stops it and the buzzer is heard"
loud=$(heard_while 2.2 xdotool key j sleep 1.2 key j)
awk -v r="$loud" 'BEGIN { exit !(r > 0.05) }' || fail "no buzzer on the sound server (RMS $loud)"
echo "   buzzer heard (RMS amplitude $loud)"

step "F2 opens Options, OK closes it"
xdotool key F2
options=$(window_named Options) || fail "no Options dialog"
xdotool key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Options$' >/dev/null 2>&1 && fail "Options did not close"

step "T resets the period"
xdotool key s
sleep 1.5
xdotool key t
sleep 0.3
expect_display tledPeriod 600

step "the period typed in its last minute, then a whole minute, keeps nothing of the point"
rect=$("$render" tledPeriod 600 "$work/period.png" 2>/dev/null)
read -r x y w h <<<"$rect"
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
xdotool key 0 period 5 0 Return
sleep 0.3
expect_display tledPeriod 50
xdotool key 5 Return
sleep 0.3
expect_display tledPeriod 300 1

step "2 and Enter typed on the jam display set it"
rect=$("$render" tledJam 120 "$work/jam.png" 2>/dev/null)
read -r x y w h <<<"$rect"
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
xdotool key j
sleep 1.5
xdotool key 2 Return
sleep 0.3
expect_display tledJam 120

step "maximise and restore"
wmctrl -i -r "$board" -b add,maximized_vert,maximized_horz
sleep 1
eval "$(xdotool getwindowgeometry --shell "$board")"
[ "$WIDTH" -gt 1200 ] || fail "not maximised: ${WIDTH}x${HEIGHT}"
wmctrl -i -r "$board" -b remove,maximized_vert,maximized_horz
sleep 1
eval "$(xdotool getwindowgeometry --shell "$board")"
[ "$WIDTH" -eq 632 ] && [ "$HEIGHT" -eq 453 ] || fail "not restored: ${WIDTH}x${HEIGHT}"
expect_display tledJam 120

step "the close box ends the program within a second"
wmctrl -i -c "$board"
for _ in $(seq 10); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "still running a second after closing"
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"

step "the store holds exactly what OK wrote"
keys=$(grep -c '=' "$store")
[ "$keys" -eq 33 ] || fail "$keys keys in the store"
for expected in "TimeColor=33023" "FormBack=4210752" "LEDSelected=4210752" \
    "StartStopJamClockKey=74" "ClearKey=46" "IsKeyCode=Yes" "PenaltyIncrementSec=90" \
    "TitleText=Home" "VisitorText=Visitor" "LEDType=0" "NumLockForce=0" \
    "BuzzerFile=$(dirname "$exe")/buzzer.wav"; do
    grep -qxF "$expected" "$store" || fail "the store lacks $expected"
done
echo "PASS: the bout ran end to end"
