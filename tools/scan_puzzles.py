#!/usr/bin/env python3
"""Scans the squares that `brivamo --make` prints, with no code of the generator's own.

Usage: brivamo --make LIST ... | scan_puzzles.py [--look-alike] LISTFILE [BLOCKLIST]

Reports how many squares let the solver read a blocked word (one the list does not hold, not
even inside a listed word, forwards or backwards), how many let one be read outside the cells
of a listed word holding it, and how many let a listed word be read more
than once (a reading inside another
listed word's reading, longer or its reversal, does not count); then, per letter,
how often it lies on a word cell, and whether any square holds a letter from A to Z.
With --look-alike, letters of other scripts are read as the Latin letters they look like
(Unicode's confusables data, asked of the system's ICU library).
"""
import ctypes
import ctypes.util
import sys
import unicodedata

STEPS = [(-1, 0), (-1, 1), (0, 1), (1, 1), (1, 0), (1, -1), (0, -1), (-1, -1)]
DOT = "\u00b7"


def squares(lines):
    """Pairs of (puzzle rows, solution rows), each a list of lists of letters."""
    blocks, block = [], []
    for line in lines:
        cells = line.split()
        if line.strip() and not line.strip()[0].isdigit() and all(len(c) == 1 for c in cells):
            block.append(cells)
        elif block:
            blocks.append(block)
            block = []
    if block:
        blocks.append(block)
    return list(zip(blocks[0::2], blocks[1::2]))


def lines(grid):
    """Every line of the square in all eight directions: (text, its cells in order)."""
    n = len(grid)
    starts = {(0, 1): [(r, 0) for r in range(n)], (1, 0): [(0, c) for c in range(n)],
              (1, 1): [(r, 0) for r in range(n)] + [(0, c) for c in range(1, n)],
              (1, -1): [(0, c) for c in range(n)] + [(r, n - 1) for r in range(1, n)]}
    out = []
    for (dr, dc), firsts in starts.items():
        for r, c in firsts:
            cells = []
            while 0 <= r < n and 0 <= c < n:
                cells.append((r, c))
                r, c = r + dr, c + dc
            text = "".join(grid[y][x] for y, x in cells)
            out.append((text, cells))
            out.append((text[::-1], cells[::-1]))
    return out


def readings(square_lines, word):
    found = set()  # a palindrome reads twice on the same cells: once
    for text, cells in square_lines:
        at = text.find(word)
        while at >= 0:
            found.add(frozenset(cells[at:at + len(word)]))
            at = text.find(word, at + 1)
    return found


def look_alike_folding():
    """A function reading a letter as the Latin letter its skeleton shares (or is)."""
    name = ctypes.util.find_library("icui18n")
    icu = ctypes.CDLL(name)
    version = next(v for v in range(60, 100) if hasattr(icu, f"uspoof_open_{v}"))
    open_checker = getattr(icu, f"uspoof_open_{version}")
    open_checker.restype = ctypes.c_void_p
    skeleton_of = getattr(icu, f"uspoof_getSkeleton_{version}")
    skeleton_of.argtypes = [ctypes.c_void_p, ctypes.c_uint32, ctypes.c_wchar_p, ctypes.c_int32,
                            ctypes.c_void_p, ctypes.c_int32, ctypes.POINTER(ctypes.c_int)]
    status = ctypes.c_int(0)
    checker = open_checker(ctypes.byref(status))

    def skeleton(letter):
        text = letter.encode("utf-16-le")
        out = ctypes.create_string_buffer(32)
        status = ctypes.c_int(0)
        n = skeleton_of(checker, 0, ctypes.cast(ctypes.c_char_p(text), ctypes.c_wchar_p), 1,
                        out, 16, ctypes.byref(status))
        return out.raw[:2 * n].decode("utf-16-le")

    latin = {skeleton(c): c for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}
    cache = {}

    def fold(letter):
        if letter not in cache:
            sk = skeleton(letter) if not ("A" <= letter <= "Z") else letter
            is_latin = len(sk) == 1 and unicodedata.name(sk, "").startswith("LATIN ")
            cache[letter] = latin.get(sk, sk if is_latin else letter)
        return cache[letter]
    return fold


def main():
    args = sys.argv[1:]
    fold = None
    if args and args[0] == "--look-alike":
        fold = look_alike_folding()
        args = args[1:]
    words = [w.strip().upper() for w in open(args[0], encoding="utf-8") if w.strip()]
    blocked = every_blocked = []
    if len(args) > 1:
        listed = "\n".join(words + [w[::-1] for w in words])
        every_blocked = [b.strip() for b in open(args[1], encoding="utf-8") if b.strip()]
        blocked = [b for b in every_blocked if b not in listed]
    if fold:
        words = ["".join(fold(c) for c in w) for w in words]
        blocked = ["".join(fold(c) for c in w) for w in blocked]
        every_blocked = ["".join(fold(c) for c in w) for w in every_blocked]
    pairs = squares(sys.stdin.read().splitlines())
    with_blocked = with_long_blocked = outside_own = twice = latin = 0
    on_word, seen = {}, {}
    for puzzle, solution in pairs:
        shown = [[fold(c) for c in row] for row in puzzle] if fold else puzzle
        square_lines = lines(shown)
        texts = "\n".join(text for text, _ in square_lines)
        if any(b in texts for b in blocked):
            with_blocked += 1
        if any(b in texts for b in blocked if len(b) >= 4):
            with_long_blocked += 1
        segments = {w: readings(square_lines, w) for w in set(words)}
        own_cells = [cells for w in set(words) for cells in segments[w]
                     if all(solution[r][c] != DOT for r, c in cells)]
        if any(not any(cells <= own for own in own_cells)
               for b in every_blocked if b in texts for cells in readings(square_lines, b)):
            outside_own += 1
        for w in set(words):
            own = [s for s in segments[w]
                   if not any(s <= t for v in set(words) if v != w and len(v) >= len(w) for t in segments[v])]
            if len(own) > words.count(w):
                twice += 1
                break
        for row, srow in zip(puzzle, solution):
            for letter, s in zip(row, srow):
                seen[letter] = seen.get(letter, 0) + 1
                on_word[letter] = on_word.get(letter, 0) + (s != DOT)
        latin += any("A" <= letter <= "Z" for row in puzzle for letter in row)
    print(f"squares {len(pairs)}")
    if blocked:
        print(f"with a blocked word {with_blocked} (of 4+ letters {with_long_blocked})")
        print(f"with a blocked word outside a listed word's own cells {outside_own}")
    print(f"with a listed word read twice {twice}")
    worst = max(seen, key=lambda k: on_word[k] / seen[k])
    print(f"letters {len(seen)}; most telling {worst}: on a word cell {on_word[worst]} of {seen[worst]} "
          f"({100 * on_word[worst] / seen[worst]:.1f} %)")
    print(f"squares holding A-Z {latin}")


main()
