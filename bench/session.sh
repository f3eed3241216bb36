# Shared by the benchmarks that run the real program; source it after
# setting `build`. It brings tests/e2e/session.sh (a work folder that goes
# away on exit, start_session SIZE for Xvfb with openbox and an empty
# settings store, window_named, open_board) and adds:
#   share PID [SECONDS]       its CPU share of one core (the scheduler's count, ns)
#   shares PID PID [SECONDS]  the same for two processes over the same seconds
#   rss PID                   its resident memory in kB
exe="$PWD/$build/src/app/quelvane"
export WINDOW_POLL=0.005
source tests/e2e/session.sh

cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }

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

rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
