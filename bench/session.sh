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
exe="$PWD/$build/src/app/quelvane"
export WINDOW_POLL=0.005
source tests/e2e/session.sh

# The CPU time of every thread of the process (a thread that ends between two
# readings takes its time with it; Qt's own threads live as long as the program).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%d", t }'; }

shares() {
    local seconds=${3:-20} a1 a2 b1 b2
    a1=$(cpu_ns "$1"); a2=$(cpu_ns "$2"); sleep "$seconds"; b1=$(cpu_ns "$1"); b2=$(cpu_ns "$2")
    awk -v t1=$((b1 - a1)) -v t2=$((b2 - a2)) -v s="$seconds" \
        'BEGIN { printf "%.3f %.3f", 100 * t1 / (s * 1e9), 100 * t2 / (s * 1e9) }'
}

share() {
    local seconds=${2:-20} a b
    a=$(cpu_ns "$1"); sleep "$seconds"; b=$(cpu_ns "$1")
    awk -v t=$((b - a)) -v s="$seconds" 'BEGIN { printf "%.3f", 100 * t / (s * 1e9) }'
}

shares_sliced() {
    local slices=$3 seconds=$4 a1 a2 b1 b2 total1=0 total2=0 ratios=()
    for _ in $(seq "$slices"); do
        a1=$(cpu_ns "$1"); a2=$(cpu_ns "$2"); sleep "$seconds"; b1=$(cpu_ns "$1"); b2=$(cpu_ns "$2")
        total1=$((total1 + b1 - a1)); total2=$((total2 + b2 - a2))
        ratios+=("$(awk -v x=$((b1 - a1)) -v y=$((b2 - a2)) 'BEGIN { if (y > 0) printf "%.3f", x / y; else print 0 }')")
    done
    printf '%s\n' "${ratios[@]}" | sort -n | awk -v t1=$total1 -v t2=$total2 -v s=$((slices * seconds)) \
        '{ r[NR] = $1 } END { m = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
           printf "%.3f %.3f %.2f", 100 * t1 / (s * 1e9), 100 * t2 / (s * 1e9), m }'
}

rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
