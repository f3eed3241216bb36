#!/usr/bin/env bash
# The live feed in a real browser: the real program serves it, headless
# Chromium shows /board and /overlay, keys pressed on the board show up in
# both pages, the timeout caption fits a long league name on both, and a
# restarted program is found again by the open pages (the overlay hides
# whole while it is gone), and with the bout run by the clock both pages
# show the lineup's clock, the lead marks and the jam points the feed gives.
#   feed_browser.sh <quelvane> <render_display> <feed_probe>
set -uo pipefail
exe=$1
render=$2
probe=$3
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool chromium
step() { echo "-- $*"; }
start_session 1280x800
mkdir -p "$XDG_CONFIG_HOME/Quelvane"
printf '[BoutRules]\nShow=1\n[TextSettings]\nHomeText=Victorian Roller Derby League\n' \
    >"$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"
port=$((20000 + RANDOM % 20000))
cdp=$((port + 1))

start_program() {
    "$exe" --feed "localhost:$port" --feed-dir="$work/texts" >>"$work/program.log" 2>&1 &
    program=$!
    local splash
    splash=$(window_named Quelvane) || fail "no splash"
    eval "$(xdotool getwindowgeometry --shell "$splash")"
    xdotool mousemove $((X + 40)) $((Y + 30)) click 1
    if question=$(window_named "Resume Bout" 2>/dev/null); then
        xdotool windowactivate --sync "$question" key Return
    fi
    board=$(window_named Quelvane "$splash") || fail "no board"
    xdotool windowactivate --sync "$board" >/dev/null 2>&1
}

step "the program serves the feed; the browser opens the board and the overlay"
start_program
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,720 \
    --remote-debugging-port="$cdp" --user-data-dir="$work/chromium" \
    "http://127.0.0.1:$port/board" >"$work/chromium.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do curl -s "http://127.0.0.1:$cdp/json/version" >/dev/null && break; sleep 0.1; done
"$probe" "$cdp" open "http://127.0.0.1:$port/overlay" || fail "cannot open the overlay"
home='document.getElementById("led-nledHomeScore").dataset.text'
overlay='document.getElementById("home-score").textContent'
"$probe" "$cdp" wait /board "$home" 0 >/dev/null || fail "the board page does not show the score"

step "keys on the board show up in both pages"
read -r x y w h <<<"$("$render" nledHomeScore 0 "$work/score.png" 2>/dev/null)"
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
xdotool key plus 3
"$probe" "$cdp" wait /board "$home" 3 >/dev/null || fail "the board page did not follow"
"$probe" "$cdp" wait /board 'String(!!document.getElementById("frame-Shape1"))' true 3 >/dev/null ||
    fail "the board page draws no frame round the period clock"
"$probe" "$cdp" wait /overlay "$overlay" 3 >/dev/null || fail "the overlay did not follow"
xdotool key j
"$probe" "$cdp" wait /overlay 'document.getElementById("jam-clock").textContent' 1:59 >/dev/null ||
    fail "the jam clock does not run in the overlay"
[ "$(cat "$work/texts/home-score.txt")" = 3 ] || fail "home-score.txt is not 3"

step "the longest team name's timeout caption fits its width on both pages"
xdotool key j h
# The element's text is whole, on one line, within its width.
fits() {
    echo "(() => { const e = document.getElementById('$1'); const r = document.createRange();
      r.selectNodeContents(e); const s = getComputedStyle(e);
      const room = e.clientWidth - parseFloat(s.paddingLeft) - parseFloat(s.paddingRight);
      return String(e.textContent.endsWith('League') && r.getBoundingClientRect().width <= room + 0.5
        && r.getClientRects().length === 1); })()"
}
"$probe" "$cdp" wait /board "$(fits label-lblBoutStatus)" true 3 >/dev/null ||
    fail "the board page cuts the caption"
"$probe" "$cdp" wait /overlay "$(fits status)" true 3 >/dev/null || fail "the overlay cuts the caption"

step "the pages run the clocks as the board does: starts, stops, typed times, the last minute"
pick() {
    local at
    at=$("$render" "$1" 0 "$work/$1.png" 2>/dev/null)
    read -r dx dy dw dh <<<"$at"
    eval "$(xdotool getwindowgeometry --shell "$board")"
    xdotool mousemove $((X + dx + dw / 2)) $((Y + dy + dh / 2)) click 1
}
pick tledPeriod
xdotool key 1 period 0 5 Return
"$probe" "$cdp" clocks "$port" 22 & clocks=$!
sleep 1; xdotool key s j
sleep 3; xdotool key j
sleep 1; xdotool key j
sleep 2; pick tledJam; xdotool key 0 period 1 0 Return
sleep 2; xdotool key s
sleep 1; xdotool key s
sleep 2; pick tledPeriod; xdotool key 0 period 3 0 Return
wait "$clocks" || fail "a page's clock differs from the board's"
xdotool key s

step "a client with a header without end, or a body, is refused at once; the feed goes on"
status() { curl -s -o /dev/null --max-time 10 -w '%{http_code}' "$@" "http://127.0.0.1:$port/state.json"; }
[ "$(status -H "X-Long: $(head -c 70000 /dev/zero | tr '\0' a)")" = 431 ] ||
    fail "a 70 KB header was not refused with 431"
[ "$(head -c 50000000 /dev/zero | status --data-binary @-)" = 413 ] ||
    fail "a 50 MB body was not refused with 413"
[ "$(status)" = 200 ] || fail "the feed stopped answering after bad clients"

step "the board's X server stops for 12 s: the board page says so within 5 s, and recovers after"
# The board's thread waits for its X server as it paints the period clock's
# tenths, the feed's does not: only a keep-alive that proves the board
# refreshes lets the page show a live board.
xvfb=${pids[0]}
offline='getComputedStyle(document.getElementById("offline")).display'
pick tledPeriod
xdotool key 0 period 4 0 Return s
sleep 1.5
stalled=$(date +%s%N)
kill -STOP "$xvfb"
"$probe" "$cdp" wait /board "$offline" block 5 >/dev/null
said=$?
told=$((($(date +%s%N) - stalled) / 1000000))
sleep $((12 - told / 1000))
kill -CONT "$xvfb"
xdotool key s
[ "$said" = 0 ] || fail "the board page showed a stalled board as live for 5 s"
"$probe" "$cdp" wait /board "$offline" none 5 >/dev/null || fail "the board page did not recover"
echo "   No connection ${told} ms into the stall; live again $((($(date +%s%N) - stalled) / 1000000 - 12000)) ms after it"

step "the program goes: the pages say so; it restarts: they find it again by themselves"
kill "$program"
wait "$program" 2>/dev/null
"$probe" "$cdp" wait /board 'getComputedStyle(document.getElementById("offline")).display' block 5 \
    >/dev/null || fail "the board page did not say it lost the program"
"$probe" "$cdp" wait /overlay 'document.getElementById("bar").style.visibility' hidden 5 \
    >/dev/null || fail "the overlay kept its bar without the program"
for shown in '#status' '#home-dots span' '#visitor-dots span:last-child'; do
    "$probe" "$cdp" wait /overlay "getComputedStyle(document.querySelector('$shown')).visibility" \
        hidden 1 >/dev/null || fail "the overlay kept $shown without the program"
done
start_program
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
xdotool key plus 4
"$probe" "$cdp" wait /board "$home" 7 15 >/dev/null || fail "the board page did not reconnect"
"$probe" "$cdp" wait /overlay "$overlay" 7 15 >/dev/null || fail "the overlay did not reconnect"

step "key press to the page, over loopback"
"$probe" "$cdp" latency /board 40 || fail "presses were lost on the way to the page"

step "run by the clock: each page's lineup clock, lead marks and jam points are the feed's"
kill "$program"
wait "$program" 2>/dev/null
sed -i 's/^Show=1$/Show=1\nRunByClock=1/' "$XDG_CONFIG_HOME/Quelvane/Quelvane.conf"
start_program
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
xdotool key j l plus 2 j
asFed() { # the page against /state.json read at the same moment
    echo "(async () => { const s = await (await fetch('/state.json')).json();
      const e = (id) => document.getElementById(id) || {textContent: '', classList: {contains: () => true}};
      const t = (id) => e(id).textContent; return String(s.phase === 'lineup' && s.home.jamPoints === 2 && $1); })()"
}
shown() { echo "!e('label-lbl$1').classList.contains('gone') === s.$2"; }
"$probe" "$cdp" wait /board "$(asFed "e('led-tledJam').dataset.text === s.lineup.clock &&
    $(shown HomeLead home.lead) && $(shown VisitorLead visitor.lead) && t('label-lblHomeJamPoints') === '+2'
    && t('label-lblVisitorJamPoints') === '+' + s.visitor.jamPoints")" true 5 >/dev/null ||
    fail "the board page's lineup differs from the feed's"
"$probe" "$cdp" wait /overlay "$(asFed "t('jam-clock') === s.lineup.clock &&
    e('home-lead').classList.contains('on') === s.home.lead && e('visitor-lead').classList.contains('on') === s.visitor.lead
    && t('home-points') === '+2' && t('visitor-points') === '+' + s.visitor.jamPoints")" true 5 >/dev/null ||
    fail "the overlay's lineup differs from the feed's"
kill "$program" 2>/dev/null
echo "PASS: the feed reached the browser"
