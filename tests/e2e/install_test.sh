#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed program as a
# user would, on real X and sound servers (inside tests/with-pipewire); then
# builds the Debian package and checks that it installs.
#   install_test.sh <build folder>
set -uo pipefail
build=$1
source "$(dirname "$0")/session.sh"
require_tools Xvfb openbox xdotool import convert parec sox cpack

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

start_session 1280x800
# Started from elsewhere, through the launcher in bin.
(cd / && exec "$prefix/bin/quelvane") & pids+=($!)
splash=$(window_named Quelvane) || fail "no splash"
board=$(open_board "$splash") || fail "no board"
sleep 0.5
xdotool windowactivate --sync "$board" >/dev/null 2>&1 || xdotool windowfocus "$board"

loud=$(heard_while 2 xdotool key b)
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
info=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*libqt6widgets6' <<<"$info" || fail "dependencies not declared"
if [ "$(id -u)" -eq 0 ]; then
    dpkg --dry-run -i "$deb" >/dev/null || fail "the package does not install"
else
    apt-get install --simulate "$deb" >/dev/null 2>&1 || fail "the package does not install"
fi
echo "PASS: installed, run, and packaged"
