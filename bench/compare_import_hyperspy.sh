#!/usr/bin/env bash
# Whole-process import of a 1,000,000-channel EMSA/MAS file: `xrayutils import` against
# HyperSpy's hs.load (Debian's python3-hyperspy), measured in the same run, alternating,
# with /usr/bin/time -v. Prints each run and the medians of elapsed time and peak resident
# memory, and checks the targets: xrayutils at least 60 times faster, at no more than a
# tenth of HyperSpy's peak memory. The file is generated in a temporary folder and removed
# at exit.
#
# Usage: bench/compare_import_hyperspy.sh [XRAYUTILS] [RUNS]
#   XRAYUTILS  the program to measure (default build/default/bin/xrayutils)
#   RUNS       runs of each program (default 5)
# Needs: /usr/bin/time (package time), python3-hyperspy, awk. Exit status 0 when both
# targets are met, 1 when one is missed, 2 when something is missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
xrayutils="${1:-$here/build/default/bin/xrayutils}"
runs="${2:-5}"
python=/usr/bin/python3  # Debian's interpreter, which has Debian's hyperspy

if [[ ! -x "$xrayutils" ]]; then
    echo "no program at $xrayutils: build first (cmake --build --preset default)" >&2
    exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
    echo "/usr/bin/time is missing (apt-get install time)" >&2
    exit 2
fi
if ! "$python" -c 'import hyperspy' 2>/dev/null; then
    echo "HyperSpy is missing (apt-get install python3-hyperspy)" >&2
    exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
spectrum="$work/spectrum-1000000.msa"

# The standard header and one count per line, like a long EDS acquisition: values with
# one decimal, mostly four and five digits.
awk 'BEGIN {
    n = 1000000
    printf "#FORMAT      : EMSA/MAS Spectral Data File\n#VERSION     : 1.0\n"
    printf "#TITLE       : Benchmark spectrum\n#DATE        : 12-JAN-2010\n"
    printf "#TIME        : 09:05\n#NPOINTS     : %d\n#NCOLUMNS    : 1\n", n
    printf "#XUNITS      : eV\n#YUNITS      : counts\n#DATATYPE    : Y\n"
    printf "#XPERCHAN    : 10.0\n#OFFSET      : -200.0\n#SIGNALTYPE  : EDS\n"
    printf "#BEAMKV   -kV: 200.0\n#LIVETIME    : 100.0\n#REALTIME    : 120.0\n"
    printf "#SPECTRUM    : Spectral Data Starts Here\n"
    state = 12345
    for (i = 0; i < n; ++i) {
        state = (state * 1664525 + 1013904223) % 4294967296
        printf "%.1f\n", (int(state / 256) % 200000) / 10.0
    }
    printf "#ENDOFDATA   : \n"
}' > "$spectrum"

cat > "$work/load.py" <<'EOF'
import sys
import hyperspy.api as hs
signal = hs.load(sys.argv[1])
assert signal.data.shape == (1000000,), signal.data.shape
EOF

# Elapsed seconds and peak resident kilobytes of one run. time -v gives the peak memory;
# its elapsed time has only hundredths of a second, so the clock is read around it.
measure() {
    local log="$work/time.log"
    local start="$EPOCHREALTIME"
    /usr/bin/time -v -o "$log" "$@" > /dev/null 2>> "$work/stderr.log"
    local end="$EPOCHREALTIME"
    local rss
    rss="$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$log")"
    awk -v s="$start" -v e="$end" -v r="$rss" 'BEGIN { printf "%.4f %d\n", e - s, r }'
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "machine: $(nproc) cores, $(uptime | sed 's/.*load average/load average/')"
echo "file: $(stat -c %s "$spectrum") bytes, 1000000 channels"
: > "$work/x.txt"
: > "$work/h.txt"
for ((run = 1; run <= runs; ++run)); do
    x="$(measure "$xrayutils" import "$spectrum")"
    h="$(measure "$python" "$work/load.py" "$spectrum")"
    echo "$x" >> "$work/x.txt"
    echo "$h" >> "$work/h.txt"
    printf 'run %d: xrayutils %s s %s KB   hyperspy %s s %s KB\n' "$run" $x $h
done
echo "load after: $(uptime | sed 's/.*load average/load average/')"

xTime="$(cut -d' ' -f1 "$work/x.txt" | median)"
xRss="$(cut -d' ' -f2 "$work/x.txt" | median)"
hTime="$(cut -d' ' -f1 "$work/h.txt" | median)"
hRss="$(cut -d' ' -f2 "$work/h.txt" | median)"
awk -v xt="$xTime" -v xr="$xRss" -v ht="$hTime" -v hr="$hRss" 'BEGIN {
    speed = ht / (xt > 0 ? xt : 0.001)
    memory = xr / hr
    printf "median: xrayutils %.3f s %d KB, hyperspy %.3f s %d KB\n", xt, xr, ht, hr
    printf "xrayutils is %.1f times faster (target at least 60) at %.3f of the peak memory (target at most 0.1)\n", speed, memory
    exit (speed >= 60 && memory <= 0.1) ? 0 : 1
}'
