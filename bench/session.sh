# Shared by the benchmarks that run the real program; source it after
# setting `build`. It brings tests/e2e/session.sh (a work folder that goes
# away on exit, start_session SIZE for Xvfb with openbox and an empty
# settings store, window_named, open_board) and adds:
#   share PID [SECONDS]       its CPU share of one core (the scheduler's count, ns,
#                             over all its threads)
#   shares PID PID [SECONDS]  the same for two processes over the same seconds
#   shares_sliced PID PID SLICES SECONDS
#                             the same over SLICES slices of SECONDS each:
#                             both shares over all of them, then the median
#                             of the slices' ratios (one burst of the machine
#                             moves one slice, not the figure)
#   rss PID                   its resident memory in kB
#   feed_board SIZE           the program (or $QUELVANE, a copy that a build meanwhile
#                             does not change) on a new session of that size with
#                             its feed on `port`; sets app and board
exe="$PWD/$build/src/app/quelvane"
export WINDOW_POLL=0.005
source tests/e2e/session.sh

# The CPU time of every thread of a process, thread by thread: a snapshot,
# and what a process used between two snapshots (a thread that ended between
# them is left out, rather than taking its whole life's time with it).
cpu_snapshot() {
    local task ns
    for task in /proc/"$1"/task/*; do
        # A thread that ended since the folder was listed is not counted.
        read -r ns _ 2>/dev/null <"$task/schedstat" && echo "${task##*/} $ns"
    done
}
cpu_used() {
    awk 'NR == FNR { before[$1] = $2; next } { used += $2 - before[$1] } END { printf "%d", used }' \
        <(echo "$1") <(echo "$2")
}

# Both processes' ns over the same seconds: "used1 used2".
used_over() {
    local a1 a2 b1 b2
    a1=$(cpu_snapshot "$1"); a2=$(cpu_snapshot "$2"); sleep "$3"
    b1=$(cpu_snapshot "$1"); b2=$(cpu_snapshot "$2")
    echo "$(cpu_used "$a1" "$b1") $(cpu_used "$a2" "$b2")"
}

shares() {
    local seconds=${3:-20} t1 t2
    read -r t1 t2 <<<"$(used_over "$1" "$2" "$seconds")"
    awk -v t1="$t1" -v t2="$t2" -v s="$seconds" \
        'BEGIN { printf "%.3f %.3f", 100 * t1 / (s * 1e9), 100 * t2 / (s * 1e9) }'
}

share() {
    local seconds=${2:-20} a b
    a=$(cpu_snapshot "$1"); sleep "$seconds"; b=$(cpu_snapshot "$1")
    awk -v t="$(cpu_used "$a" "$b")" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * t / (s * 1e9) }'
}

shares_sliced() {
    local slices=$3 seconds=$4 t1 t2 total1=0 total2=0 ratios=()
    for _ in $(seq "$slices"); do
        read -r t1 t2 <<<"$(used_over "$1" "$2" "$seconds")"
        total1=$((total1 + t1)); total2=$((total2 + t2))
        ratios+=("$(awk -v x="$t1" -v y="$t2" 'BEGIN { if (y > 0) printf "%.3f", x / y; else print 0 }')")
    done
    printf '%s\n' "${ratios[@]}" | sort -n | awk -v t1=$total1 -v t2=$total2 -v s=$((slices * seconds)) \
        '{ r[NR] = $1 } END { m = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
           printf "%.3f %.3f %.2f", 100 * t1 / (s * 1e9), 100 * t2 / (s * 1e9), m }'
}

rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

feed_board() {
    exe="${QUELVANE:-$exe}"
    start_session "$1"
    port=$((20000 + RANDOM % 20000))
    "$exe" --feed "127.0.0.1:$port" &
    app=$!
    pids+=($app)
    board=$(open_board "$(window_named Quelvane)")
}
