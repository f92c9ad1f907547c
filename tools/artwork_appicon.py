#!/usr/bin/env python3
"""The program icon: a letter square with a found word, as PNG (64, 128) and SVG.

One list of shapes in a 128-unit design space feeds both outputs: the PNGs are
drawn four times larger and averaged down (smooth edges), the SVG states the
same shapes as vector elements.
"""

import math

from artwork_lib import Canvas, out_path, write_png_rgba

FONT = "DejaVu-Sans-Bold"
SVG_FONT = "DejaVu Sans, Liberation Sans, sans-serif"
BLUE = "#2c68bd"
PAPER = "#fff3d2"
RULE = "#eadfc6"
INK = "#1d2840"
YELLOW = "#ffd43b"
ORANGE = "#f79d2a"

GRID = ["BQS", "KIT", "MAG"]
CELL = 28
ORIGIN = 22  # top-left of the letter square
WORD = [(0, 0), (1, 1), (2, 2)]  # B, I, G on the diagonal
LETTER_SIZE = 22  # points in the 128-unit space


def rgb(hex_colour):
    h = hex_colour.lstrip("#")
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16))


def cell_centre(r, c):
    return ORIGIN + c * CELL + CELL / 2.0, ORIGIN + r * CELL + CELL / 2.0


def shapes():
    """(kind, params) in design units."""
    out = [
        ("rrect", (4, 4, 124, 124, 24, BLUE)),
        ("rrect", (14, 14, 114, 114, 12, PAPER)),
    ]
    for i in (1, 2):
        out.append(("line", (ORIGIN + i * CELL, ORIGIN + 2, ORIGIN + i * CELL, ORIGIN + 3 * CELL - 2, 1.5, RULE)))
        out.append(("line", (ORIGIN + 2, ORIGIN + i * CELL, ORIGIN + 3 * CELL - 2, ORIGIN + i * CELL, 1.5, RULE)))
    (ax, ay), (bx, by) = cell_centre(*WORD[0]), cell_centre(*WORD[-1])
    out.append(("capsule", (ax, ay, bx, by, 12.5, ORANGE)))
    out.append(("capsule", (ax, ay, bx, by, 11.0, YELLOW)))
    for r, row in enumerate(GRID):
        for c, ch in enumerate(row):
            x, y = cell_centre(r, c)
            out.append(("text", (ch, x, y, LETTER_SIZE, INK)))
    return out


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">']
    cap = 0.729  # cap height of the bold sans, in em
    for kind, p in shapes():
        if kind == "rrect":
            x0, y0, x1, y1, r, col = p
            parts.append('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
                         % (x0, y0, x1 - x0, y1 - y0, r, col))
        elif kind == "line":
            x0, y0, x1, y1, w, col = p
            parts.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g"/>'
                         % (x0, y0, x1, y1, col, w))
        elif kind == "capsule":
            x0, y0, x1, y1, half, col = p
            parts.append('  <line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" '
                         'stroke-linecap="round"/>' % (x0, y0, x1, y1, col, 2 * half))
        elif kind == "text":
            ch, x, y, size, col = p
            px = size  # ImageMagick points (72 dpi) are pixels of the design space
            parts.append('  <text x="%g" y="%.2f" font-family="%s" font-weight="bold" font-size="%g" '
                         'text-anchor="middle" fill="%s">%s</text>' % (x, y + cap * px / 2.0, SVG_FONT, px, col, ch))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def raster(scale):
    cv = Canvas(128 * scale, 128 * scale)
    for kind, p in shapes():
        if kind == "rrect":
            x0, y0, x1, y1, r, col = p
            cv.rrect(int(x0 * scale), int(y0 * scale), int(x1 * scale) - 1, int(y1 * scale) - 1, r * scale, rgb(col))
        elif kind == "line":
            x0, y0, x1, y1, w, col = p
            half = w * scale / 2.0
            cv.rect(int(round(min(x0, x1) * scale - half)), int(round(min(y0, y1) * scale - half)),
                    int(round(max(x0, x1) * scale + half)) - 1, int(round(max(y0, y1) * scale + half)) - 1, rgb(col))
        elif kind == "capsule":
            x0, y0, x1, y1, half, col = p
            ax, ay, bx, by, h = x0 * scale, y0 * scale, x1 * scale, y1 * scale, half * scale
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy
            lo_x, hi_x = int(min(ax, bx) - h) - 1, int(max(ax, bx) + h) + 2
            lo_y, hi_y = int(min(ay, by) - h) - 1, int(max(ay, by) + h) + 2
            for y in range(max(0, lo_y), min(cv.h, hi_y)):
                for x in range(max(0, lo_x), min(cv.w, hi_x)):
                    px, py = x + 0.5 - ax, y + 0.5 - ay
                    t = max(0.0, min(1.0, (px * dx + py * dy) / ll))
                    if math.hypot(px - t * dx, py - t * dy) <= h:
                        cv.set(x, y, rgb(col))
        elif kind == "text":
            ch, x, y, size, col = p
            cv.text(ch, FONT, int(size * scale), x * scale, y * scale, rgb(col), solid=True)
    return cv


def downsample(cv, factor):
    """Average factor x factor blocks into RGBA rows (premultiplied mean)."""
    w, h = cv.w // factor, cv.h // factor
    rows = []
    n = factor * factor
    for y in range(h):
        row = []
        for x in range(w):
            r = g = b = a = 0
            for yy in range(y * factor, (y + 1) * factor):
                for xx in range(x * factor, (x + 1) * factor):
                    p = cv.px[yy][xx]
                    if p is not None:
                        r += p[0]
                        g += p[1]
                        b += p[2]
                        a += 1
            if a:
                row.extend((int(round(r / a)), int(round(g / a)), int(round(b / a)), int(round(255 * a / n))))
            else:
                row.extend((0, 0, 0, 0))
        rows.append(row)
    return rows, w, h


def main():
    big = raster(4)
    rows, w, h = downsample(big, 4)
    write_png_rgba(rows, w, h, out_path("brivamo_128.png"))
    rows, w, h = downsample(big, 8)
    write_png_rgba(rows, w, h, out_path("brivamo_64.png"))
    with open(out_path("brivamo.svg"), "w") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
