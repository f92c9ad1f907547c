#!/usr/bin/env python3
"""Background tiles for the windows and their button strips.

Each tile repeats seamlessly: patterns are periodic in the tile size, and
scattered letters are drawn again one tile to each side so that anything
crossing an edge comes back in on the opposite one. Colours stay light so that
black label text on top remains easy to read.
"""

import os
import random
import sys
import tempfile

from artwork_lib import Canvas, convert, hexrgb, mix, out_path, write_png_rgb, write_ppm

BOLD = "DejaVu-Sans-Bold"
LETTERS = "ABCDEFGHIJKLMNOPRSTUVWYZ"


def wrapped_text(cv, ch, size, x, y, colour):
    for dx in (-cv.w, 0, cv.w):
        for dy in (-cv.h, 0, cv.h):
            cv.text(ch, BOLD, size, x + dx, y + dy, colour)


def letter_grid_tile(side, cell, base, ink, seed, size):
    """Faint word-search texture: one letter per cell."""
    rnd = random.Random(seed)
    cv = Canvas(side, side, base)
    for r in range(side // cell):
        for c in range(side // cell):
            cv.text(rnd.choice(LETTERS), BOLD, size, c * cell + cell / 2.0, r * cell + cell / 2.0, ink)
    return cv


def scattered_letters_tile(side, base, inks, seed, sizes, count, spacing):
    rnd = random.Random(seed)
    cv = Canvas(side, side, base)
    spots = []
    tries = 0
    while len(spots) < count and tries < 5000:
        tries += 1
        x, y = rnd.uniform(0, side), rnd.uniform(0, side)
        # distance on the torus, so neighbours across an edge count too
        ok = all(min(abs(x - sx), side - abs(x - sx)) ** 2 + min(abs(y - sy), side - abs(y - sy)) ** 2
                 >= spacing ** 2 for sx, sy in spots)
        if ok:
            spots.append((x, y))
    for x, y in spots:
        wrapped_text(cv, rnd.choice(LETTERS), rnd.choice(sizes), x, y, rnd.choice(inks))
    return cv


def graph_paper_tile(side, step, base, rule, dot):
    cv = Canvas(side, side, base)
    for i in range(0, side, step):
        cv.hline(0, side - 1, i, rule)
        cv.vline(i, 0, side - 1, rule)
    for y in range(0, side, step):
        for x in range(0, side, step):
            cv.set(x, y, dot)
    return cv


def stripes_tile(side, period, width, base, stripe, edge, edge_width=1):
    """Diagonal stripes; side must be a multiple of period so the tile wraps."""
    assert side % period == 0
    cv = Canvas(side, side, base)
    for y in range(side):
        for x in range(side):
            k = (x + y) % period
            if k < width:
                cv.set(x, y, stripe)
            elif k < width + edge_width:
                cv.set(x, y, edge)
    return cv


def dots_tile(side, step, base, dot, dot2, radius=2.2):
    """Staggered soft dots (polka), periodic in side."""
    cv = Canvas(side, side, base)
    for j, y in enumerate(range(0, side, step)):
        for x in range(0, side, step):
            ox = (step // 2) if j % 2 else 0
            for dx in (-side, 0, side):
                for dy in (-side, 0, side):
                    cv.disc(x + ox + dx + step / 2.0, y + dy + step / 2.0, radius, dot if j % 2 else dot2)
    return cv


def ruled_tile(side, base, rule, step):
    cv = Canvas(side, side, base)
    for y in range(step - 1, side, step):
        cv.hline(0, side - 1, y, rule)
    return cv


def save_gif(cv, name):
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "tile.ppm")
        write_ppm(cv, ppm)
        convert(ppm, "+dither", "-colors", "64", out_path(name))


def save_jpeg(cv, name):
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "tile.ppm")
        write_ppm(cv, ppm)
        convert(ppm, "-strip", "-sampling-factor", "1x1", "-quality", "94", out_path(name))


def main():
    sky = hexrgb("eaf4fd")
    write_png_rgb(graph_paper_tile(64, 16, sky, mix(sky, hexrgb("62b6ee"), 0.16), mix(sky, hexrgb("2c68bd"), 0.22)),
                  out_path("title_tile.png"))

    cream = hexrgb("fff7e4")
    inks = [mix(cream, hexrgb(c), 0.13) for c in ("f79d2a", "8c5bcb", "62b6ee", "3cb34f")]

    # Tiles with letters or round dots also come at twice the resolution ("@2x"), the same
    # picture for screens that scale by 2: the random layout repeats exactly at double size.
    for k, suffix in ((1, ""), (2, "@2x")):
        save_gif(scattered_letters_tile(127 * k, cream, inks, 11, tuple(s * k for s in (13, 15, 17, 19)), 14, 29 * k),
                 "notice_tile%s.gif" % suffix)

    pale = hexrgb("eef4fb")
    for k, suffix in ((1, ""), (2, "@2x")):
        write_png_rgb(letter_grid_tile(128 * k, 16 * k, pale, mix(pale, hexrgb("2c68bd"), 0.11), 3, 10 * k),
                      out_path("lobby_tile%s.png" % suffix))

    sun = hexrgb("ffe48f")
    teal = hexrgb("a9e2c4")
    mint = hexrgb("eef8f1")
    for k, suffix in ((1, ""), (2, "@2x")):
        write_png_rgb(stripes_tile(57 * k, 19 * k, 8 * k, sun, mix(sun, hexrgb("ffffff"), 0.30),
                                   mix(sun, hexrgb("f79d2a"), 0.18), k),
                      out_path("lobby_strip_tile%s.png" % suffix))
        write_png_rgb(dots_tile(48 * k, 12 * k, mint, mix(mint, hexrgb("3cb34f"), 0.12),
                                mix(mint, hexrgb("62b6ee"), 0.14), 2.2 * k),
                      out_path("puzzle_tile%s.png" % suffix))
        write_png_rgb(stripes_tile(57 * k, 19 * k, 8 * k, teal, mix(teal, hexrgb("ffffff"), 0.28),
                                   mix(teal, hexrgb("217a37"), 0.10), k),
                      out_path("puzzle_banner_tile%s.png" % suffix))

    note = hexrgb("fffbea")
    save_jpeg(ruled_tile(64, note, mix(note, hexrgb("62b6ee"), 0.30), 16), "help_tile.jpg")


if __name__ == "__main__":
    main()
