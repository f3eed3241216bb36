#!/usr/bin/env bash
# The arm64 package's program under qemu's user emulation, with the arm64
# libraries of multiarch, on a private X server: the splash, the board, a typed
# score drawn as the native build draws it, the feed's /state.json and the bout
# record. Prints how long the emulated program took to its splash and board.
#   arm64_emulated.sh [arm64 build folder] [native render_display]
# Without the arm64 build or qemu it says so and skips (exit 0), without the X
# tools as the other scripts here do (exit 77); under CI=true either fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(ls "${1:-$root/build/arm64}"/quelvane_*_arm64.deb 2>/dev/null | head -n1)
render=${2:-$root/build/release/tests/render_display}
source "$(dirname "$0")/session.sh"
unable() {
    [ "${CI:-}" = true ] && fail "cannot run the arm64 program: $*"
    echo "SKIP: the arm64 program was not run: $*"
    exit 0
}
[ -n "$deb" ] || unable "no arm64 package (scripts/build arm64)"
[ -x "$render" ] || unable "no native render_display (scripts/build release)"
command -v qemu-aarch64-static >/dev/null || unable "no qemu-aarch64-static (scripts/setup arm64)"
[ -e /lib/ld-linux-aarch64.so.1 ] || unable "no arm64 libraries (scripts/setup arm64)"
require_tools Xvfb openbox xdotool import compare curl

# Run as unpacked from the package, beside its sounds and help.
[ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || fail "$deb is not for arm64"
dpkg-deb -x "$deb" "$work/root"
exe="$work/root/usr/lib/quelvane/quelvane"
# -L / rather than binfmt_misc, which a container may lack. Emulation is slow:
# window_named's 10 s up to six times over, looking less often to leave the
# cores to qemu.
arm64() { qemu-aarch64-static -L / "$exe" "$@"; }
patiently() { for _ in 1 2 3 4 5 6; do "$@" && return 0; done; return 1; }
export WINDOW_POLL=0.05
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }'; }

start_session 1280x800
port=$((20000 + RANDOM % 20000))
start=$(date +%s.%N)
arm64 --feed "127.0.0.1:$port" >"$work/program.log" 2>&1 &
program=$!
pids+=($program)
splash=$(patiently window_named Quelvane) || fail "no splash: $(cat "$work/program.log")"
echo "-- the splash after $(since "$start") s"
clicked=$(date +%s.%N)
board=$(open_board "$splash" || patiently window_named Quelvane "$splash") || fail "no board"
echo "-- the board $(since "$clicked") s after the click"

# A blank or unpainted display differs in most of its pixels.
rect=$("$render" nledHomeScore 42 "$work/expected.png" 2>/dev/null) || fail "render_display"
read -r x y w h <<<"$rect"
xdotool windowactivate --sync "$board" >/dev/null 2>&1
eval "$(xdotool getwindowgeometry --shell "$board")"
xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1 key 4 2 Return
shows_42() {
    import -window "$board" "$work/board.png"
    convert "$work/board.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/actual.png"
    differing=$(compare -metric AE -fuzz 10% "$work/expected.png" "$work/actual.png" null: 2>&1)
    [ "${differing%% *}" -le $((w * h / 100)) ] 2>/dev/null
}
for _ in $(seq 40); do shows_42 && break; sleep 0.25; done
shows_42 || fail "the home score does not show 42: $differing pixels differ"
echo "-- 42 typed on the home score shows as the native build draws it"

curl -sf --max-time 20 "http://127.0.0.1:$port/state.json" | grep -q '"home":{[^}]*"score":"42"' ||
    fail "the feed's /state.json does not give the score 42"
echo "-- the feed's /state.json gives it"

kill "$program"
wait "$program" 2>/dev/null
arm64 --export-bout - >"$work/bout.csv" 2>/dev/null || fail "--export-bout - failed"
grep -q '^bout,Home,Home,Visitor' "$work/bout.csv" && grep -q ',42,0,' "$work/bout.csv" ||
    fail "--export-bout - wrote no record of the score: $(cat "$work/bout.csv")"
echo "-- --export-bout - writes the record with it"
echo "PASS: the arm64 program ran under emulation"
