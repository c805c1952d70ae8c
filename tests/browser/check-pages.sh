#!/usr/bin/env bash
# Renders both HTML reports with headless Chromium, as a reader's browser shows and prints
# them, and checks the result (check_rendered_page.py): `xrayutils report` on the bundled
# samples, and `xrayutils qc report` of a QC history recorded from twelve simulated weekly
# spectra whose resolution drifts in the last four (its resolution chart is the README's
# picture). Run by `make check-browser` after a build.
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=build/default/bin
out=$PWD/build/browser
rm -rf "$out"
mkdir -p "$out"

"$bin/xrayutils" report examples/NiOx-sample.msa examples/NiOx-sample-ice-carbon.msa \
    --thickness 50 -o "$out/report.html"
qc() { "$bin/xrayutils" qc --db "$out/qc.sqlite" "$@"; }
files=()
for week in $(seq 1 12); do
    day=$(date -u -d "2026-01-05 + $((7 * (week - 1))) days" +%F)
    resolution=$((week <= 8 ? 130 : 130 + 2 * (week - 8)))
    "$bin/xrayutils" simulate-niox --live-time 1000 --state "$week" --resolution "$resolution" \
        --ice $((week / 2)) --acquired "${day}T09:00" -o "$out/week$week.msa" >/dev/null
    files+=("$out/week$week.msa")
done
qc add --detector EDS-1 --thickness 50 --note "weekly NiOx test" "${files[@]}" >/dev/null
qc cull 3 >/dev/null
qc limits --detector EDS-1 --baseline 6 >/dev/null
qc report --detector EDS-1 -o "$out/qc-report.html" >/dev/null
qc chart --detector EDS-1 --quantity energy_resolution.fwhm_mn_ka_ev -o "$out/control-chart.png" \
    >/dev/null

# $1: page name; the rest: chromium's output option.
render() {
    local page=$1 profile
    shift
    profile=$(mktemp -d "$out/profile.XXXXXX")
    timeout 180 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --hide-scrollbars --user-data-dir="$profile" "$@" "file://$out/$page.html" \
        2>>"$out/chromium.log"
    rm -rf "$profile"
}

status=0
check() {
    local page=$1 pictures=$2
    shift 2
    render "$page" --window-size=1240,1754 --screenshot="$out/$page.png" >/dev/null
    render "$page" --dump-dom >"$out/$page.dom.html"
    render "$page" --no-pdf-header-footer --print-to-pdf="$out/$page.pdf" >/dev/null
    # How far the widest element reaches past the body's text width (the printed page's text
    # width, 184 mm) in a window as wide as A4 paper: a copy of the page, with a script the
    # page itself does not have, writes it into the dumped DOM.
    sed "s|</body>|<script src=\"file://$PWD/tests/browser/overflow.js\"></script></body>|" \
        "$out/$page.html" >"$out/$page.width.html"
    render "$page.width" --window-size=794,1123 --dump-dom >"$out/$page.width.dom.html"
    echo "$page.html:"
    python3 tests/browser/check_rendered_page.py --png "$out/$page.png" \
        --dom "$out/$page.dom.html" --pdf "$out/$page.pdf" --pictures "$pictures" \
        --width-dom "$out/$page.width.dom.html" "$@" || status=1
}

check report 2 --heading "NiOx detector test report" --heading "NiOx-sample" \
    --heading "NiOx-sample-ice-carbon" --heading "Results" --heading "Spectrum and Ni Kα fit"
check qc-report 11 --heading "Detector QC report: EDS-1" --heading "Latest check" \
    --heading "Control charts" --heading "Entries"
exit $status
