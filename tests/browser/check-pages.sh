#!/usr/bin/env bash
# Renders both HTML reports with headless Chromium, as a reader's browser shows and prints
# them, and checks the result (check_rendered_page.py): `xrayutils report` on the bundled
# samples, and the QC report page of a simulated detector history written by
# simulated_qc_pages, which needs no QC database. Run by `make check-browser` after a build.
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=build/default/bin
out=$PWD/build/browser
rm -rf "$out"
mkdir -p "$out"

"$bin/xrayutils" report examples/NiOx-sample.msa examples/NiOx-sample-ice-carbon.msa \
    --thickness 50 -o "$out/report.html"
"$bin/simulated_qc_pages" "$out"

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
    echo "$page.html:"
    python3 tests/browser/check_rendered_page.py --png "$out/$page.png" \
        --dom "$out/$page.dom.html" --pdf "$out/$page.pdf" --pictures "$pictures" "$@" || status=1
}

check report 2 --heading "NiOx detector test report" --heading "NiOx-sample" \
    --heading "NiOx-sample-ice-carbon" --heading "Results" --heading "Spectrum and Ni Kα fit"
check qc-report 11 --heading "Detector QC report: EDS-1 (simulated)" --heading "Latest check" \
    --heading "Control charts" --heading "Entries"
exit $status
