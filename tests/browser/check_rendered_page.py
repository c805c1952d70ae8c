#!/usr/bin/env python3
"""Checks one page as headless Chromium rendered it: the screenshot is not blank, the
rendered document shows the expected headings and holds no script, and the print is A4.

    check_rendered_page.py --png SHOT.png --dom DOM.html --pdf PRINT.pdf
                           [--heading TEXT]... [--pictures N]

Prints one line per check and exits 1 when any fails."""
import argparse
import re
import struct
import sys
import zlib
from html.parser import HTMLParser


def read_png(path):
    """Width, height and rows of RGB(A) pixels of an 8-bit, non-interlaced PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("unexpected PNG layout %r" % (header,))
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up = previous[x]
            corner = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


class Headings(HTMLParser):
    def __init__(self):
        super().__init__()
        self.headings, self.current, self.svgs, self.scripts = [], None, 0, 0

    def handle_starttag(self, tag, attrs):
        if tag in ("h1", "h2", "h3"):
            self.current = ""
        elif tag == "svg":
            self.svgs += 1
        elif tag == "script":
            self.scripts += 1

    def handle_endtag(self, tag):
        if tag in ("h1", "h2", "h3") and self.current is not None:
            self.headings.append(" ".join(self.current.split()))
            self.current = None

    def handle_data(self, data):
        if self.current is not None:
            self.current += data


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--png", required=True)
    parser.add_argument("--dom", required=True)
    parser.add_argument("--pdf", required=True)
    parser.add_argument("--heading", action="append", default=[])
    parser.add_argument("--pictures", type=int, default=1)
    parser.add_argument("--width-dom", help="DOM of the page with data-overflow on its body: px past its text width")
    args = parser.parse_args()
    failures, checks = [], []

    def check(ok, text):
        print(("ok      " if ok else "FAILED  ") + text)
        checks.append(text)
        if not ok:
            failures.append(text)

    width, height, channels, rows = read_png(args.png)
    inked, colours = 0, set()
    for row in rows[::2]:
        for x in range(0, width * channels, channels * 2):
            pixel = row[x:x + 3]
            colours.add(pixel)
            if min(pixel) < 200:
                inked += 1
    sampled = (height // 2 + height % 2) * ((width + 1) // 2)
    check(inked > 0.01 * sampled, "%s is not blank: %.1f %% of it inked" % (args.png, 100.0 * inked / sampled))
    check(len(colours) > 40, "%s shows text and pictures: %d colours" % (args.png, len(colours)))
    top = sum(1 for row in rows[:height // 8] for x in range(0, width * channels, channels) if min(row[x:x + 3]) < 128)
    check(top > 200, "%s has a heading at its top: %d dark pixels" % (args.png, top))

    document = Headings()
    document.feed(open(args.dom, encoding="utf-8").read())
    for heading in args.heading:
        check(heading in document.headings, "the page shows the heading %r" % heading)
    check(document.svgs >= args.pictures, "the page holds %d pictures (at least %d)" % (document.svgs, args.pictures))
    check(document.scripts == 0, "the page holds no script")

    if args.width_dom:
        laid_out = re.search(r'data-overflow="(-?\d+)"', open(args.width_dom, encoding="utf-8").read())
        check(laid_out is not None and int(laid_out.group(1)) <= 1,
              "the page keeps to its text width: %s px beyond it (1 for rounding)" % (laid_out.group(1) if laid_out else "unknown"))

    pdf = open(args.pdf, "rb").read()
    boxes = re.findall(rb"/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\]", pdf)
    a4 = [b for b in boxes if abs(float(b[2]) - float(b[0]) - 595.3) < 2 and abs(float(b[3]) - float(b[1]) - 841.9) < 2]
    check(pdf[:5] == b"%PDF-" and len(boxes) > 0 and len(a4) == len(boxes),
          "%s prints on A4: %d of %d pages" % (args.pdf, len(a4), len(boxes)))

    print("%d passed, %d failed" % (len(checks) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
