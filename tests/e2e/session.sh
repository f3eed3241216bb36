# Shared by the scripts that run the real program on a private X server.
# Source it; it sets up a work folder that goes away on exit.

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    # What the program said last, for a failure far from here.
    [ -s "$work/program.log" ] && tail -n 20 "$work/program.log" | sed 's/^/   program: /' >&2
    exit 1
}

# Skips (exit 77), or fails when CI=true, unless every tool named is there.
require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            if [ "${CI:-}" = true ]; then echo "FAIL: $tool is missing; run scripts/setup" >&2; exit 1; fi
            echo "SKIP: $tool is missing"; exit 77
        fi
    done
}

# Starts Xvfb at the given screen size with openbox, an empty settings store,
# and sets DISPLAY for the program.
start_session() {
    export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$work/display" 2>/dev/null & pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$work/display")"
    unset QT_QPA_PLATFORM
    openbox >/dev/null 2>&1 & pids+=($!)
    sleep 0.5
}

# Waits up to 10 s for a visible window with this exact title (other than
# the window given second); prints its id. WINDOW_POLL sets how often it
# looks (seconds; the benchmarks look more often, for their timings).
window_named() {
    local id="" poll=${WINDOW_POLL:-0.01}
    for _ in $(seq "$(awk -v p="$poll" 'BEGIN { print int(10 / p) }')"); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -v "^${2:-none}\$" | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep "$poll"
    done
    return 1
}

# Clicks the splash (away from its buttons) and prints the board's id.
open_board() {
    local splash=$1
    eval "$(xdotool getwindowgeometry --shell "$splash")"
    xdotool mousemove $((X + 40)) $((Y + 30)) click 1
    window_named Quelvane "$splash"
}

# Starts "$exe" with the arguments given, opens the board from its splash
# and, unless `answer` is "fresh", answers "Resume Bout" (Return for Yes,
# "later" for Escape); sets `program` and `board`.
#   launch_board fresh|resume|later [program arguments]
launch_board() {
    local answer=$1 splash question
    shift
    "$exe" "$@" >>"$work/program.log" 2>&1 &
    program=$!
    splash=$(window_named Quelvane) || fail "no splash"
    eval "$(xdotool getwindowgeometry --shell "$splash")"
    xdotool mousemove $((X + 40)) $((Y + 30)) click 1
    if [ "$answer" != fresh ]; then
        local key=Return
        [ "$answer" = later ] && key=Escape
        question=$(window_named "Resume Bout") || fail "no Resume Bout question ($answer)"
        xdotool windowactivate --sync "$question" key "$key"
    fi
    board=$(window_named Quelvane "$splash") || fail "no board"
    xdotool windowactivate --sync "$board" >/dev/null 2>&1
}

# Clicks the middle of a display, placed as `rect` (filled from
# render_display) says, in the board window.
select_display() {
    local x y w h
    read -r x y w h <<<"${rect[$1]}"
    eval "$(xdotool getwindowgeometry --shell "$board")"
    xdotool mousemove $((X + x + w / 2)) $((Y + y + h / 2)) click 1
}

# A loop spinning on every core, as on an operator's busy laptop; `busy`
# holds them for a kill.
load_every_core() {
    busy=()
    for _ in $(seq "$(nproc)"); do
        (while :; do :; done) &
        busy+=($!)
        pids+=($!)
    done
}

# The RMS amplitude of what the null sink played during `seconds` after
# running the given command.
heard_while() {
    local seconds=$1
    shift
    parec --device=nullsink.monitor --rate=48000 --channels=1 --format=s16le >"$work/monitor.raw" &
    local recorder=$!
    sleep 0.3
    "$@"
    sleep "$seconds"
    kill "$recorder"
    wait "$recorder" 2>/dev/null
    sox -t raw -r 48000 -e signed -b 16 -c 1 "$work/monitor.raw" -n stat 2>&1 |
        awk '/RMS +amplitude/ {print $3}'
}
