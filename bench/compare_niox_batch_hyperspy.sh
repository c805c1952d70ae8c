#!/usr/bin/env bash
# A batch of NiOx spectra through `xrayutils niox --json` (read, all seven evaluations,
# write) against HyperSpy only loading the same files with hs.load in one Python process.
#   bench/compare_niox_batch_hyperspy.sh [BUILD_BIN] [COUNT] [CHANNELS]
# Makes COUNT (1000) simulated spectra of CHANNELS (4096) channels in a scratch folder,
# times both (the best of three runs each), prints both and their ratio, and removes the
# folder. Needs Debian's python3-hyperspy, run by the system's /usr/bin/python3.
set -euo pipefail
bin=$(realpath "${1:-build/default/bin}")
count=${2:-1000}
channels=${3:-4096}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for i in $(seq 1 "$count"); do
    "$bin/xrayutils" simulate-niox --channels "$channels" --state "$i" --live-time 100 \
        -o "$work/s$i.msa" > /dev/null
done

/usr/bin/python3 - "$bin/xrayutils" "$work" <<'PY'
import glob, json, subprocess, sys, time, warnings
warnings.filterwarnings("ignore")
program, work = sys.argv[1], sys.argv[2]
files = sorted(glob.glob(work + "/s*.msa"))

def ours():
    with open(work + "/records.json", "wb") as out:
        start = time.perf_counter()
        subprocess.run([program, "niox", *files, "--json", "--thickness", "50"], check=True,
                       stdout=out)
        elapsed = time.perf_counter() - start
    with open(work + "/records.json") as records:
        assert len(json.load(records)) == len(files)
    return elapsed

import hyperspy.api as hs

def theirs():
    start = time.perf_counter()
    for f in files:
        hs.load(f)
    return time.perf_counter() - start

a = min(ours() for _ in range(3))
b = min(theirs() for _ in range(3))
print(f"spectra: {len(files)}")
print(f"xrayutils niox --json, whole process: {a:.3f} s")
print(f"HyperSpy hs.load loop, import excluded: {b:.3f} s")
print(f"ratio: {b / a:.1f} (target: at least 40)")
PY
