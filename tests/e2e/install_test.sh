#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed program as a
# user would, on real X and sound servers (inside tests/with-pipewire); then
# builds the Debian package and checks that it installs.
#   install_test.sh <build folder>
set -uo pipefail
build=$1
for tool in Xvfb xdotool import convert parec sox cpack; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        if [ "${CI:-}" = true ]; then echo "FAIL: $tool is missing; run scripts/setup" >&2; exit 1; fi
        echo "SKIP: $tool is missing"; exit 77
    fi
done
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install"
for f in lib/quelvane/quelvane lib/quelvane/buzzer.wav lib/quelvane/periodendsound.wav \
    lib/quelvane/quelvanehelpfile.rtf bin/quelvane share/applications/quelvane.desktop \
    share/icons/hicolor/128x128/apps/quelvane.png; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/128x128/apps/quelvane.png")" = 128x128 ] ||
    fail "the icon is not 128 x 128"
grep -qx 'Exec=quelvane' "$prefix/share/applications/quelvane.desktop" || fail "desktop entry"
echo "-- installed into one program folder with a launcher, desktop entry and icon"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null & pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
# Started from elsewhere, through the launcher in bin.
(cd / && exec "$prefix/bin/quelvane") & pids+=($!)
window_named() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -v "^${2:-none}\$" | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
splash=$(window_named Quelvane) || fail "no splash"
eval "$(xdotool getwindowgeometry --shell "$splash")"
xdotool mousemove $((X + 40)) $((Y + 30)) click 1
board=$(window_named Quelvane "$splash") || fail "no board"
sleep 0.5
xdotool windowactivate --sync "$board" >/dev/null 2>&1 || xdotool windowfocus "$board"

parec --device=nullsink.monitor --rate=48000 --channels=1 --format=s16le >"$work/monitor.raw" &
recorder=$!
sleep 0.3
xdotool key b
sleep 2
kill "$recorder"; wait "$recorder" 2>/dev/null
loud=$(sox -t raw -r 48000 -e signed -b 16 -c 1 "$work/monitor.raw" -n stat 2>&1 |
    awk '/RMS +amplitude/ {print $3}')
awk -v r="$loud" 'BEGIN { exit !(r > 0.05) }' || fail "the installed buzzer is not heard"
echo "-- the installed program found its buzzer (RMS amplitude $loud)"

xdotool key F1
help=$(window_named "Quelvane Help") || fail "no help window"
sleep 0.5
import -window "$help" "$work/help.png"
# The document's title is drawn in its own orange; the missing-file message is black.
orange=$(convert "$work/help.png" -fuzz 12% -fill black +opaque "rgb(192,64,0)" \
    -fill white -opaque "rgb(192,64,0)" -format '%[fx:mean*w*h]' info:)
awk -v n="$orange" 'BEGIN { exit !(n > 50) }' || fail "the installed help document is not shown"
echo "-- the installed program found its help document"

(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
deb=$(ls "$build"/quelvane_*_amd64.deb | head -n1)
dpkg-deb -I "$deb" | grep -q 'Depends:.*libqt6widgets6' || fail "dependencies not declared"
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >/dev/null || fail "the package does not install"
else
    apt-get install --simulate "$deb" >/dev/null 2>&1 || fail "the package does not install"
fi
echo "PASS: installed, run, and packaged"
