#!/usr/bin/env python3
"""The title window's nine looping animations (one 112 x 80, eight 40 x 25).

Each animation is a small paper card with letters from a real font. Frames are
drawn here and assembled into a looping GIF by ImageMagick with per-frame
delays (hundredths of a second): quick steps for motion, long holds on the
moments worth seeing.
"""

import math
import os
import random
import sys
import tempfile

from artwork_lib import Canvas, convert, drawing_scale, ease, hexrgb, mix, out_path, scale_suffix, write_ppm

BOLD = "DejaVu-Sans-Bold"
PAPER = hexrgb("fffaf0")
INK = hexrgb("1d2840")
RULE = hexrgb("eadfc6")
BORDER = hexrgb("2c68bd")
YELLOW = hexrgb("ffd43b")
GREEN = hexrgb("3cb34f")
BLUE = hexrgb("2c68bd")
RED = hexrgb("e6483d")
ORANGE = hexrgb("f79d2a")
SKY = hexrgb("62b6ee")
TILE = hexrgb("ffe48f")
TILE_EDGE = hexrgb("e0a93a")
FAINT = mix(PAPER, INK, 0.35)

STEP = 8  # hundredths of a second between motion frames


def card(w, h):
    cv = Canvas(w, h, PAPER)
    cv.frame(0, 0, w - 1, h - 1, BORDER)
    return cv


def border(cv):
    cv.frame(0, 0, cv.w - 1, cv.h - 1, BORDER)


def grid_lines(cv, x0, y0, cols, rows, cw, ch):
    for c in range(cols + 1):
        cv.vline(x0 + c * cw, y0, y0 + rows * ch, RULE)
    for r in range(rows + 1):
        cv.hline(x0, x0 + cols * cw, y0 + r * ch, RULE)


def capsule(cv, x0, y0, x1, y1, colour, alpha=1.0):
    r = min(x1 - x0 + 1, y1 - y0 + 1) / 2.0
    cv.rrect(x0, y0, x1, y1, r, colour, alpha)


def thick_segment(cv, ax, ay, bx, by, half, colour, alpha):
    """A bar with round ends from (ax, ay) to (bx, by), half its width thick."""
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy) or 1.0

    def inside(x, y):
        px, py = x - ax, y - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (length * length)))
        return math.hypot(px - t * dx, py - t * dy) <= half
    cv.shade(inside, colour, alpha)


# Pictures 3, 5 and 6 of the title window's small row are overlapped by their right-hand
# neighbours by this many pixels; they keep that strip transparent so nothing of theirs is hidden.
COVERED = 5
KEY = (255, 0, 255)  # stands for a transparent pixel on the way through ImageMagick


def save_anim(frames, name):
    """frames: list of (canvas, delay). Transparent canvas pixels stay transparent in the GIF."""
    keyed = any(p is None for cv, _ in frames for row in cv.px for p in row)
    with tempfile.TemporaryDirectory() as tmp:
        args = ["-dispose", "Background"] if keyed else []
        for i, (cv, delay) in enumerate(frames):
            path = os.path.join(tmp, "f%02d.ppm" % i)
            write_ppm(cv, path, background=KEY if keyed else (255, 255, 255))
            args += ["-delay", str(delay), path]
        if keyed:
            args += ["-transparent", "#%02x%02x%02x" % KEY]
        convert(*(args + ["-loop", "0", "+dither", out_path(name)]))


def uncovered(cv):
    """The card on a canvas COVERED pixels wider whose right-hand strip is transparent."""
    out = Canvas(cv.w + COVERED, cv.h)
    out.paste(cv, 0, 0)
    return out


# --- 112 x 80: letters drop into the square, a hidden word is found ----------------

def anim_main():
    cols, rows, cell = 7, 5, 14
    x0, y0 = (112 - cols * cell) // 2, (80 - rows * cell) // 2
    letters = ["PLUMKET", "HASTYRN", "JWORDSB", "CQILEVA", "FNUGOZM"]
    word_row, word_col, word = 2, 1, "WORDS"

    def base():
        cv = card(112, 80)
        grid_lines(cv, x0, y0, cols, rows, cell, cell)
        return cv

    def draw_letters(cv, drop=None, fade=0.0, found=False):
        for r in range(rows):
            for c in range(cols):
                off = 0.0
                if drop is not None:
                    t = drop(c, r)
                    if t <= 0:
                        continue
                    off = -(1 - ease(t)) * (y0 + rows * cell)  # the column falls as one
                colour = INK
                if found and r == word_row and word_col <= c < word_col + len(word):
                    colour = BLUE
                cx = x0 + c * cell + cell / 2.0
                cy = y0 + r * cell + cell / 2.0 + off
                if cy > y0 - cell:
                    cv.text(letters[r][c], BOLD, 11, cx, cy, colour, alpha=1.0 - fade)
        # letters still falling enter through the top edge of the square
        cv.rect(1, 1, cv.w - 2, y0 - 1, PAPER)
        border(cv)

    frames = [(base(), 40)]
    # columns fall in one after another, each taking four frames
    for f in range(1, 11):
        cv = base()
        draw_letters(cv, drop=lambda c, r: (f - c) / 4.0)
        frames.append((cv, STEP))
    hx0 = x0 + word_col * cell + 1
    hx1 = x0 + (word_col + len(word)) * cell - 1
    hy0, hy1 = y0 + word_row * cell + 2, y0 + (word_row + 1) * cell - 2
    for k in range(1, 6):
        cv = base()
        right = hx0 + (hx1 - hx0) * ease(k / 5.0)
        capsule(cv, hx0, hy0, int(round(right)), hy1, YELLOW)
        cv.rect(int(round(right)) - 1, hy0 - 1, int(round(right)), hy1 + 1, ORANGE)
        draw_letters(cv)
        frames.append((cv, STEP))
    cv = base()
    capsule(cv, hx0, hy0, hx1, hy1, YELLOW)
    capsule(cv, hx0 - 1, hy0 - 2, hx1 + 1, hy1 + 2, GREEN)
    capsule(cv, hx0 + 1, hy0, hx1 - 1, hy1, YELLOW)
    draw_letters(cv, found=True)
    frames.append((cv, 160))
    for k in range(1, 5):
        cv = base()
        capsule(cv, hx0 - 1, hy0 - 2, hx1 + 1, hy1 + 2, GREEN, 1.0 - k / 4.0)
        capsule(cv, hx0 + 1, hy0, hx1 - 1, hy1, YELLOW, 1.0 - k / 4.0)
        draw_letters(cv, fade=k / 4.0)
        frames.append((cv, STEP))
    return frames


# --- 40 x 25 animations -----------------------------------------------------------------

def small_grid(cols, rows, cw, ch, width=40):
    x0 = (width - cols * cw) // 2
    y0 = (25 - rows * ch) // 2
    return x0, y0


def anim_drop():
    """Letters drop one by one into a 4 x 2 square."""
    cols, rows, cell = 4, 2, 9
    x0, y0 = small_grid(cols, rows, cell, cell)
    word = "FINDWORD"
    frames = []

    def draw(f, fade=0.0):
        cv = card(40, 25)
        grid_lines(cv, x0, y0, cols, rows, cell, cell)
        for i, ch in enumerate(word):
            r, c = divmod(i, cols)
            order = (rows - 1 - r) * cols + c  # bottom row first: falling letters never cross placed ones
            t = (f - order * 1.5) / 3.0
            if t <= 0:
                continue
            cy = y0 + r * cell + cell / 2.0 - (1 - ease(t)) * (y0 + (r + 1) * cell + 2)
            cv.text(ch, BOLD, 9, x0 + c * cell + cell / 2.0 + 0.5, cy + 0.5, INK, alpha=1.0 - fade)
        border(cv)
        return cv

    frames.append((draw(0), 30))
    for f in range(1, 15):
        frames.append((draw(f), STEP))
    frames[-1] = (frames[-1][0], 140)
    for k in (1, 2, 3):
        frames.append((draw(15, fade=k / 3.0), STEP))
    return frames


def anim_sweep():
    """A highlighter sweeps over the hidden word in the middle row."""
    rows = ["QZHT", "FIND", "ULBX"]
    cw, ch = 9, 7
    x0, y0 = small_grid(4, 3, cw, ch)

    def draw(progress, alpha=1.0, pen=True):
        cv = card(40, 25)
        hy0, hy1 = y0 + ch + 0, y0 + 2 * ch - 1
        right = x0 + int(round(progress * 4 * cw))
        if progress > 0:
            cv.rect(x0, hy0, right - 1, hy1, YELLOW, alpha)
        for r, word in enumerate(rows):
            for c, letter in enumerate(word):
                colour = INK if r == 1 else FAINT
                cv.text(letter, BOLD, 7 if r != 1 else 8, x0 + c * cw + cw / 2.0 + 0.5,
                        y0 + r * ch + ch / 2.0 + 0.5, colour)
        if pen and 0 < progress < 1.0:
            # the marker leans to the right with its chisel tip on the leading edge
            thick_segment(cv, right + 3.5, hy0 - 1.5, right + 9, -4, 2.4, BLUE, 1.0)
            thick_segment(cv, right + 0.5, hy1 - 0.5, right + 3, hy0 - 1, 1.5, hexrgb("f0b400"), 1.0)
        border(cv)
        return cv

    frames = [(draw(0), 40)]
    for k in range(1, 11):
        frames.append((draw(ease(k / 10.0)), STEP))
    frames.append((draw(1.0, pen=False), 130))
    for k in (1, 2, 3):
        frames.append((draw(1.0, 1.0 - k / 3.0, pen=False), STEP))
    return frames


def anim_magnifier():
    """A magnifying glass glides over a grid and enlarges the letter beneath it."""
    width = 40 - COVERED
    cols, rows, cw, ch = 5, 3, 6, 7
    x0, y0 = small_grid(cols, rows, cw, ch, width)
    rnd = random.Random(5)
    letters = [[rnd.choice("ABCDEFGHKLNPRSTUVYZ") for _ in range(cols)] for _ in range(rows)]
    n = 20

    def draw(k):
        cv = card(width, 25)
        for r in range(rows):
            for c in range(cols):
                cv.text(letters[r][c], BOLD, 6, x0 + c * cw + cw / 2.0 + 0.5, y0 + r * ch + ch / 2.0 + 0.5, FAINT)
        a = 2 * math.pi * k / n
        # the lens and its handle stay inside the card at both ends of the swing
        lx = 16 + 7 * math.cos(a)
        ly = 11.5 + 4.5 * math.sin(2 * a)
        c = min(cols - 1, max(0, int((lx - x0) // cw)))
        r = min(rows - 1, max(0, int((ly - y0) // ch)))
        # handle first, then lens rim, glass and the enlarged letter
        hx, hy = lx + 5.5, ly + 5.5
        cv.line(int(hx), int(hy), int(hx) + 4, int(hy) + 4, hexrgb("a86d3d"), 2)
        cv.disc(lx, ly, 7.5, BLUE)
        cv.disc(lx, ly, 6.3, hexrgb("ffffff"))
        cv.text(letters[r][c], BOLD, 10, lx, ly, INK)
        cv.disc(lx - 3.2, ly - 3.2, 1.2, SKY, 0.8)
        border(cv)
        return uncovered(cv)

    return [(draw(k), 9) for k in range(n)]


def anim_flip():
    """Letter tiles flip over, one after another, to spell new words."""
    words = ["FUN", "BEE", "OWL"]
    tw, th, gap = 10, 15, 2
    x0 = (40 - (3 * tw + 2 * gap)) // 2
    y0 = (25 - th) // 2
    widths = [1.0, 0.6, 0.15, 0.15, 0.6]

    def draw(old, new, phase):
        cv = card(40, 25)
        for i in range(3):
            p = phase - i
            if p < 0:
                letter, s = old[i], 1.0
            elif p >= len(widths):
                letter, s = new[i], 1.0
            else:
                s = widths[p]
                letter = old[i] if p < 3 else new[i]
            cx = x0 + i * (tw + gap) + tw / 2.0
            half = max(0.5, tw * s / 2.0)
            left, right = int(round(cx - half)), int(round(cx + half)) - 1
            shade = TILE if s > 0.5 else mix(TILE, TILE_EDGE, 0.5)
            cv.rect(left, y0, right, y0 + th - 1, shade)
            cv.hline(left, right, y0 + th - 1, TILE_EDGE)
            if s > 0.5:
                cv.vline(right, y0, y0 + th - 1, TILE_EDGE)
            cv.text(letter, BOLD, 10, cx, y0 + th / 2.0 - 0.5, INK, scale_x=s)
        border(cv)
        return cv

    frames = []
    for w in range(len(words)):
        old, new = words[w], words[(w + 1) % len(words)]
        # phase 0 would repeat the word just held, so each change starts at phase 1
        for phase in range(1, len(widths) + 3):
            frames.append((draw(old, new, phase), STEP))
        frames[-1] = (frames[-1][0], 110)
    return frames


def anim_pencil():
    """A pencil ticks off the words of a list, one after another."""
    words = ["CAT", "OWL", "FOX"]
    row_h = 7
    y0 = 2

    def pencil(cv, tx, ty):
        # small pencil with its tip at (tx, ty), lying up and to the right
        cv.line(tx + 2, ty - 2, tx + 8, ty - 8, hexrgb("ffd43b"), 3)
        cv.line(tx + 8, ty - 8, tx + 9, ty - 9, RED, 3)
        cv.line(tx + 1, ty - 1, tx + 1, ty - 1, hexrgb("f2d7a8"), 2)
        cv.set(tx, ty, INK)

    def draw(ticks, part, pen_at):
        cv = card(40 - COVERED, 25)
        for i, w in enumerate(words):
            cy = y0 + i * row_h + row_h / 2.0 + 0.5
            cv.rect(4, int(cy) - 2, 8, int(cy) + 2, hexrgb("ffffff"))
            cv.frame(4, int(cy) - 2, 8, int(cy) + 2, mix(PAPER, INK, 0.5))
            for j, letter in enumerate(w):
                cv.text(letter, BOLD, 7, 14 + j * 6, cy, INK if i >= ticks else FAINT)
            done = i < ticks or (i == ticks and part > 0)
            if done:
                cx, cyi = 5, int(cy)
                cv.line(cx, cyi, cx + 1, cyi + 1, GREEN, 1)
                if i < ticks or part > 1:
                    cv.line(cx + 1, cyi + 1, cx + 4, cyi - 3, GREEN, 1)
            if i < ticks:
                cv.hline(13, 13 + 6 * len(w) - 2, int(cy), mix(INK, GREEN, 0.5))
        if pen_at:
            pencil(cv, *pen_at)
        border(cv)
        return uncovered(cv)

    rest = (22, 20)  # the pencil's resting tip; its far end then stays inside the card
    frames = [(draw(0, 0, rest), 30)]
    pos = rest
    for i in range(3):
        row_y = int(y0 + i * row_h + row_h / 2.0 + 0.5)
        target = (9, row_y - 3)
        for k in (1, 2):
            t = ease(k / 2.0)
            p = (int(round(pos[0] + (target[0] - pos[0]) * t)), int(round(pos[1] + (target[1] - pos[1]) * t)))
            frames.append((draw(i, 0, p), STEP))
        frames.append((draw(i, 1, (6, row_y + 1)), STEP))
        frames.append((draw(i, 2, (9, row_y - 3)), STEP))
        frames.append((draw(i + 1, 0, (12, row_y - 1)), 30))
        pos = (12, row_y - 1)
    frames.append((draw(3, 0, (rest[0] + 1, rest[1] + 1)), 140))
    return frames


def anim_diagonal():
    """Hidden words are found along both diagonals of the square."""
    width = 40 - COVERED
    cols, rows, cw, ch = 4, 3, 8, 7
    x0, y0 = small_grid(cols, rows, cw, ch, width)
    grid = ["OZKA", "HWNP", "GTLE"]
    paths = [[(0, 0), (1, 1), (2, 2)], [(0, 3), (1, 2), (2, 1)]]  # (row, col): OWL and ANT

    def centre(rc):
        r, c = rc
        return x0 + c * cw + cw / 2.0, y0 + r * ch + ch / 2.0

    def draw(path, progress, alpha=1.0, colour=YELLOW):
        cv = card(width, 25)
        if path and progress > 0:
            ax, ay = centre(path[0])
            bx, by = centre(path[-1])
            thick_segment(cv, ax, ay, ax + (bx - ax) * progress, ay + (by - ay) * progress, 3.6, colour, alpha)
        for r in range(rows):
            for c in range(cols):
                on = path and (r, c) in path and progress >= 1
                cv.text(grid[r][c], BOLD, 7, x0 + c * cw + cw / 2.0 + 0.5, y0 + r * ch + ch / 2.0 + 0.5,
                        BLUE if on else INK)
        border(cv)
        return uncovered(cv)

    frames = [(draw(None, 0), 40)]
    for path, colour in zip(paths, (YELLOW, hexrgb("a8e08a"))):
        for k in range(1, 6):
            frames.append((draw(path, ease(k / 5.0), colour=colour), STEP))
        frames[-1] = (frames[-1][0], 110)
        for k in (1, 2):
            frames.append((draw(path, 1.0, 1.0 - k / 3.0, colour=colour), STEP))
    return frames


def anim_shuffle():
    """Letters spin like a slot machine and settle, one by one, on a word."""
    target = "QUIZ"
    pitch = 15
    sw, gap = 8, 1
    x0 = (40 - (4 * sw + 3 * gap)) // 2
    top, bottom = 4, 20
    rnd = random.Random(9)
    stops = [6, 8, 10, 12]
    spins = [5, 7, 9, 11]
    strips = []
    for i in range(4):
        seq = [rnd.choice("ABCDEFGHJKLMNOPRSTUVWXY") for _ in range(spins[i])] + [target[i]]
        strips.append(seq)
    cy = (top + bottom + 1) / 2.0

    def draw(f):
        cv = card(40, 25)
        for i in range(4):
            left = x0 + i * (sw + gap)
            cv.rect(left, top, left + sw - 1, bottom, hexrgb("ffffff"))
            K = spins[i]
            t = min(1.0, f / stops[i])
            offset = K * pitch * (1 - (1 - t) ** 2)
            slot = Canvas(sw, bottom - top + 1, hexrgb("ffffff"))
            for j, letter in enumerate(strips[i]):
                y = cy - top + offset - j * pitch
                if -pitch < y < slot.h + pitch:
                    slot.text(letter, BOLD, 9, sw / 2.0, y, INK if t >= 1 else mix(INK, SKY, 0.35))
            cv.paste(slot, left, top)
            cv.hline(left, left + sw - 1, top, mix(PAPER, INK, 0.25))
            cv.hline(left, left + sw - 1, bottom, mix(PAPER, INK, 0.25))
        cv.rect(2, int(cy) - 1, 3, int(cy) + 1, RED)
        cv.rect(36, int(cy) - 1, 37, int(cy) + 1, RED)
        border(cv)
        return cv

    # frame 0 is the settled word itself, so the loop starts where it ends
    frames = []
    for f in range(1, 13):
        frames.append((draw(f), 7))
    frames[-1] = (frames[-1][0], 150)
    return frames


def anim_cross():
    """Two words cross on a shared letter; each lights up in turn."""
    grid = ["KBRT", "LEAF", "SEZO"]
    cw, ch = 8, 7
    x0, y0 = small_grid(4, 3, cw, ch)
    across = [(1, c) for c in range(4)]
    down = [(r, 1) for r in range(3)]

    def draw(a_alpha, d_alpha):
        cv = card(40, 25)
        if a_alpha > 0:
            capsule(cv, x0, y0 + ch, x0 + 4 * cw - 1, y0 + 2 * ch - 1, YELLOW, a_alpha)
        if d_alpha > 0:
            capsule(cv, x0 + cw, y0, x0 + 2 * cw - 1, y0 + 3 * ch - 1, hexrgb("a8e08a"), d_alpha)
        for r in range(3):
            for c in range(4):
                lit = ((r, c) in across and a_alpha >= 0.99) or ((r, c) in down and d_alpha >= 0.99)
                cv.text(grid[r][c], BOLD, 7, x0 + c * cw + cw / 2.0 + 0.5, y0 + r * ch + ch / 2.0 + 0.5,
                        BLUE if lit else INK)
        border(cv)
        return cv

    frames = [(draw(0, 0), 40)]
    for k in (1, 2, 3):
        frames.append((draw(k / 3.0, 0), STEP))
    frames[-1] = (frames[-1][0], 100)
    for k in (1, 2, 3):
        frames.append((draw(1.0 - k / 3.0, k / 3.0), STEP))
    frames[-1] = (frames[-1][0], 100)
    for k in (1, 2):
        frames.append((draw(0, 1.0 - k / 3.0), STEP))
    return frames


ANIMS = {
    "title_anim_0.gif": anim_main,
    "title_anim_1.gif": anim_drop,
    "title_anim_2.gif": anim_sweep,
    "title_anim_3.gif": anim_magnifier,
    "title_anim_4.gif": anim_flip,
    "title_anim_5.gif": anim_pencil,
    "title_anim_6.gif": anim_diagonal,
    "title_anim_7.gif": anim_shuffle,
    "title_anim_8.gif": anim_cross,
}


# Each animation also comes drawn anew for screens that scale by 1.5 and 2 ("title_anim_0@2x.gif"):
# the same frames and delays at the finer grid.
SCALES = (1, 1.5, 2)


def main(names):
    for name, make in ANIMS.items():
        if names and name not in names:
            continue
        stem, ext = os.path.splitext(name)
        for scale in SCALES:
            with drawing_scale(scale):
                save_anim(make(), stem + scale_suffix(scale) + ext)


if __name__ == "__main__":
    main(sys.argv[1:])
