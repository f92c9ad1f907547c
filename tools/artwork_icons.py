#!/usr/bin/env python3
"""Button pictures: 16-colour icons (32 x 32 and 16 x 16) with 1-bit transparency.

Every icon is built from simple shapes in the house palette; each shape layer
gets a one-pixel ink rim, which keeps the pictures crisp at their real size and
gives the disabled (engraved) look of the buttons a clear silhouette.
"""

import math
import os
import sys

from artwork_lib import Canvas, drawing_scale, out_path, scale_suffix, write_png_icon

BOLD = "DejaVu-Sans-Bold"


def layer(size, draw, rim="ink"):
    """Draw shapes on a fresh transparent canvas and give them an ink rim."""
    cv = Canvas(size, size)
    draw(cv)
    if rim:
        cv.outline(rim)
    return cv


def compose(size, *layers):
    cv = Canvas(size, size)
    for lay in layers:
        cv.paste(lay, 0, 0)
    return cv


def arc(cv, cx, cy, r_out, r_in, a0, a1, c):
    """Part of a ring between angles a0..a1 (degrees, 0 = right, 90 = down)."""
    def inside(x, y):
        dx, dy = x - cx, y - cy
        return r_in < math.hypot(dx, dy) <= r_out and a0 <= math.degrees(math.atan2(dy, dx)) <= a1
    cv.shade(inside, c)


# --- badges (lower right corner of a 32 x 32 icon) -----------------------------

def badge(kind):
    def draw(cv):
        cx = cy = 24.5
        cv.disc(cx, cy, 7.0, {"plus": "green", "check": "green", "cross": "red"}[kind])
        if kind == "plus":
            cv.rect(21, 23, 27, 25, "white")
            cv.rect(23, 21, 25, 27, "white")
        elif kind == "check":
            cv.line(21, 24, 23, 26, "white", 2)
            cv.line(23, 26, 27, 21, "white", 2)
        else:
            cv.line(21, 21, 27, 27, "white", 2)
            cv.line(27, 21, 21, 27, "white", 2)
    return layer(32, draw)


# --- reusable objects ---------------------------------------------------------------

def notebook(cv):
    cv.rect(6, 2, 24, 29, "paper")
    cv.rect(6, 2, 8, 29, "sky")  # binding edge
    for y in (9, 13, 17, 21, 25):
        cv.hline(11, 21, y, "light")
    for y in (9, 13, 17):
        cv.hline(11, 11 + (y * 7) % 9 + 3, y, "blue")
    cv.hline(6, 24, 5, "light")


def spiral(cv):
    for y in (5, 10, 15, 20, 25):
        cv.rect(4, y, 7, y + 1, "ink")


def pencil(cv, tip, length, width, body="yellow"):
    """Pencil lying on the diagonal from tip toward the upper right."""
    tx, ty = tip
    ux, uy = 1 / math.sqrt(2), -1 / math.sqrt(2)  # along the pencil, away from the tip
    px, py = -uy, ux  # across
    hw = width / 2.0
    cone = width * 1.1

    def pt(a, b):
        return (tx + ux * a + px * b, ty + uy * a + py * b)

    cv.poly([pt(length - 3, -hw), pt(length, -hw), pt(length, hw), pt(length - 3, hw)], "red")
    cv.poly([pt(length - 5, -hw), pt(length - 3, -hw), pt(length - 3, hw), pt(length - 5, hw)], "grey")
    cv.poly([pt(cone, -hw), pt(length - 5, -hw), pt(length - 5, hw), pt(cone, hw)], body)
    cv.poly([pt(cone, 0), pt(length - 5, 0), pt(length - 5, hw), pt(cone, hw)], "orange")
    cv.poly([pt(0, 0), pt(cone, -hw), pt(cone, hw)], "paper")
    cv.poly([pt(0, 0), pt(cone * 0.45, -hw * 0.45), pt(cone * 0.45, hw * 0.45)], "ink")


def letter_grid(cv, x0, y0, cells, cell, letters, size=8, highlight_row=None):
    side = cells * cell
    cv.rect(x0, y0, x0 + side, y0 + side, "paper")
    if highlight_row is not None:
        cv.rect(x0 + 1, y0 + highlight_row * cell + 1, x0 + side - 1, y0 + (highlight_row + 1) * cell - 1, "yellow")
    for i in range(1, cells):
        cv.hline(x0 + 1, x0 + side - 1, y0 + i * cell, "light")
        cv.vline(x0 + i * cell, y0 + 1, y0 + side - 1, "light")
    for r in range(cells):
        for c in range(cells):
            ch = letters[r * cells + c]
            cv.text(ch, BOLD, size, x0 + c * cell + cell / 2.0 + 0.5, y0 + r * cell + cell / 2.0 + 0.5,
                    "ink", solid=True)


def speaker(cv):
    cv.rect(3, 11, 8, 20, "grey")
    cv.poly([(9, 11), (17, 4), (17, 28), (9, 21)], "light")
    cv.rect(4, 12, 5, 19, "light")


# --- the icons ----------------------------------------------------------------------

def icon_help():
    def draw(cv):
        cv.disc(16, 16, 15, "sky")
        cv.disc(16.8, 16.8, 14.2, "blue")
        cv.text("?", BOLD, 22, 16.5, 16.5, "white", solid=True)
    return layer(32, draw)


def fade_window(fading):
    def draw(cv):
        cv.rect(2, 4, 27, 24, "paper")
        cv.rect(2, 4, 27, 8, "blue")
        cv.rect(24, 5, 26, 7, "white")
        cv.hline(3, 27, 9, "ink")
        for y in range(10, 25):
            for x in range(3, 27):
                if fading:
                    # density falls off to the right: solid, 3/4, 1/2, 1/4, none
                    band = (x - 3) * 5 // 24
                    on = band == 0 or (band < 4 and (x + 2 * y) % 4 < 4 - band)
                else:
                    on = True
                cv.set(x, y, "violet" if on else "paper")
    return layer(32, draw)


def icon_fade(on):
    return compose(32, fade_window(on), badge("check" if on else "cross"))


def icon_email():
    def env(cv):
        cv.rect(2, 7, 29, 25, "white")
        cv.line(3, 24, 12, 16, "light")
        cv.line(28, 24, 19, 16, "light")
        cv.line(2, 8, 15, 18, "ink")
        cv.line(29, 8, 16, 18, "ink")
        cv.poly([(3, 8), (28, 8), (15.5, 17.5)], "paper")

    def heart(cv):
        cv.disc(13, 18.5, 3.6, "red")
        cv.disc(19, 18.5, 3.6, "red")
        cv.poly([(9.6, 19.6), (22.4, 19.6), (16, 26.5)], "red")
        cv.set(12, 17, "white")
    return compose(32, layer(32, env), layer(32, heart, rim="darkred"))


def icon_quit():
    def door(cv):
        cv.rect(5, 2, 21, 29, "grey")
        cv.rect(7, 4, 19, 29, "ink")
        cv.poly([(7, 4), (15, 7), (15, 31), (7, 29.5)], "brown")
        cv.rect(12, 16, 13, 18, "yellow")

    def arrow(cv):
        cv.rect(17, 13, 23, 18, "green")
        cv.poly([(22.5, 8.5), (30.5, 15.5), (22.5, 22.5)], "green")
    return compose(32, layer(32, door), layer(32, arrow))


def icon_sound(on):
    base = layer(32, speaker)

    def waves(cv):
        arc(cv, 15, 16, 8.5, 6.5, -50, 50, "blue")
        arc(cv, 15, 16, 13.5, 11.5, -55, 55, "blue")

    def cross(cv):
        cv.line(21, 11, 28, 18, "red", 3)
        cv.line(28, 11, 21, 18, "red", 3)
    return compose(32, base, layer(32, waves if on else cross))


def icon_lobby():
    def house(cv):
        cv.rect(22, 4, 25, 11, "brown")
        cv.poly([(1, 16), (16, 2), (31, 16)], "red")
        cv.rect(5, 16, 26, 29, "paper")
        cv.rect(13, 20, 18, 29, "blue")
        cv.set(17, 25, "yellow")
        cv.rect(7, 19, 10, 22, "sky")
        cv.rect(21, 19, 24, 22, "sky")
    cv = layer(32, house)
    cv.hline(5, 26, 16, "ink")
    cv.vline(8, 19, 22, "ink")  # window bars
    cv.vline(22, 19, 22, "ink")
    return cv


def icon_list(kind):
    def draw(cv):
        notebook(cv)
    cv = layer(32, draw)
    spiral(cv)
    return compose(32, cv, badge(kind)) if kind else cv


def icon_new_add():
    def tile(cv):
        cv.rrect(2, 3, 22, 23, 3, "yellow")
        cv.rect(3, 20, 21, 22, "orange")
        cv.text("A", BOLD, 16, 12.5, 12.5, "ink", solid=True)
    return compose(32, layer(32, tile), badge("plus"))


def icon_delete_category():
    def can(cv):
        cv.rect(12, 3, 19, 5, "grey")
        cv.rect(4, 6, 27, 9, "grey")
        cv.poly([(6, 10), (26, 10), (24, 30), (8, 30)], "light")
    cv = layer(32, can)
    cv.hline(4, 27, 9, "ink")
    for x in (11, 16, 21):
        cv.vline(x, 13, 27, "grey")
    cv.hline(13, 18, 4, "light")
    return compose(32, cv, badge("cross"))


def icon_make_puzzle():
    def grid(cv):
        letter_grid(cv, 1, 1, 3, 8, "BTQFUNZAE", highlight_row=1)
    g = layer(32, grid)
    g.frame(1, 1, 25, 25, "ink")

    def pen(cv):
        pencil(cv, (14, 29), 21, 6)
    return compose(32, g, layer(32, pen))


def icon_cancel_puzzle():
    def stop(cv):
        r = 15.2 / math.cos(math.pi / 8)
        pts = [(16 + r * math.cos(math.radians(22.5 + 45 * k)), 16 + r * math.sin(math.radians(22.5 + 45 * k)))
               for k in range(8)]
        cv.poly(pts, "red")
        cv.rect(8, 14, 23, 17, "white")
    return layer(32, stop)


def icon_view_puzzle():
    def grid(cv):
        letter_grid(cv, 1, 1, 3, 8, "BIRAGNOTE")
    g = layer(32, grid)
    g.frame(1, 1, 25, 25, "ink")

    def lens(cv):
        cv.line(25, 25, 29, 29, "brown", 3)
        cv.disc(20, 20, 7.5, "blue")
        cv.disc(20, 20, 5.5, "white")
        cv.disc(18.5, 18.5, 2.2, "sky")
    return compose(32, g, layer(32, lens))


def icon_view_solution():
    def grid(cv):
        letter_grid(cv, 1, 1, 3, 8, "CATAXEORE", highlight_row=0)
    g = layer(32, grid)
    g.frame(1, 1, 25, 25, "ink")
    return compose(32, g, badge("check"))


def icon_print():
    def body(cv):
        cv.rect(8, 2, 23, 12, "white")
        cv.rrect(2, 11, 29, 24, 2, "grey")
        cv.rect(3, 12, 28, 13, "light")
        cv.rect(8, 20, 23, 30, "white")
    cv = layer(32, body)
    cv.hline(5, 26, 19, "ink")
    cv.rect(24, 15, 25, 16, "green")
    for y in (23, 25, 27):
        cv.hline(10, 10 + (y * 5) % 11 + 2, y, "blue")
    for y in (5, 7, 9):
        cv.hline(10, 21, y, "light")
    return cv


def icon_help_topics():
    def book(cv):
        cv.poly([(1, 10), (15.5, 12), (30.5, 10), (30.5, 29), (15.5, 31), (1, 29)], "blue")
        cv.poly([(2, 6), (15.5, 8.5), (15.5, 28), (2, 26)], "white")
        cv.poly([(16.5, 8.5), (30, 6), (30, 26), (16.5, 28)], "paper")
    cv = layer(32, book)
    cv.vline(15, 9, 29, "ink")
    cv.vline(16, 9, 29, "ink")
    for i, y in enumerate((12, 15, 18, 21)):
        cv.line(4, y - 1, 12, y + 1 - (i == 3), "grey")
        cv.line(19, y + 1, 27, y - 1, "grey")
    return cv


def icon_return():
    def draw(cv):
        cv.poly([(1.5, 11), (11.5, 2.5), (11.5, 19.5)], "blue")
        cv.rect(11, 8, 19, 13, "blue")
        arc(cv, 19.5, 19, 11, 5, -90, 90, "blue")
        cv.rect(12, 24, 19, 29, "blue")
    cv = layer(32, draw)
    return cv


def icon_continue():
    def draw(cv):
        cv.rect(2, 12, 16, 19, "green")
        cv.poly([(15.5, 3.5), (29.5, 15.5), (15.5, 27.5)], "green")
    return layer(32, draw)


def icon_add_word_16():
    def draw(cv):
        cv.rect(6, 2, 9, 13, "green")
        cv.rect(2, 6, 13, 9, "green")
    return layer(16, draw)


def icon_edit_word_16():
    def draw(cv):
        pencil(cv, (2, 13), 15, 4.6)
    return layer(16, draw)


def icon_delete_word_16():
    def draw(cv):
        cv.line(3, 3, 12, 12, "red", 3)
        cv.line(12, 3, 3, 12, "red", 3)
    return layer(16, draw)


ICONS = {
    "help.png": icon_help,
    "fade_on.png": lambda: icon_fade(True),
    "fade_off.png": lambda: icon_fade(False),
    "email.png": icon_email,
    "quit.png": icon_quit,
    "sound_on.png": lambda: icon_sound(True),
    "sound_off.png": lambda: icon_sound(False),
    "lobby.png": icon_lobby,
    "add_category.png": lambda: icon_list("plus"),
    "new_add.png": icon_new_add,
    "new_save.png": lambda: icon_list("check"),
    "new_cancel.png": lambda: icon_list("cross"),
    "delete_category.png": icon_delete_category,
    "make_puzzle.png": icon_make_puzzle,
    "cancel_puzzle.png": icon_cancel_puzzle,
    "view_puzzle.png": icon_view_puzzle,
    "view_solution.png": icon_view_solution,
    "print.png": icon_print,
    "help_topics.png": icon_help_topics,
    "return.png": icon_return,
    "continue.png": icon_continue,
    "add_word_16.png": icon_add_word_16,
    "edit_word_16.png": icon_edit_word_16,
    "delete_word_16.png": icon_delete_word_16,
}


# Besides each icon at its own size, copies drawn anew for screens that scale by 1.5 and 2
# ("help@1.5x.png", "help@2x.png"), which the buttons pick by the screen's device pixel ratio.
SCALES = (1, 1.5, 2)


def main(names):
    for name, make in ICONS.items():
        if names and name not in names:
            continue
        stem, ext = os.path.splitext(name)
        for scale in SCALES:
            with drawing_scale(scale):
                write_png_icon(make(), out_path(stem + scale_suffix(scale) + ext))


if __name__ == "__main__":
    main(sys.argv[1:])
