#!/usr/bin/env python3
"""Scans the squares that `brivamo --make` prints, with no code of the generator's own.

Usage: brivamo --make LIST ... | scan_puzzles.py LISTFILE [BLOCKLIST]

Reports how many squares let the solver read a blocked word (one the list does not hold, not
even inside a listed word, forwards or backwards), and how many let a listed word be read more
than once (a reading inside another
listed word's reading, longer or its reversal, does not count); then, per letter,
how often it lies on a word cell, and whether any square holds a letter from A to Z.
"""
import sys

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


def main():
    words = [w.strip().upper() for w in open(sys.argv[1], encoding="utf-8") if w.strip()]
    blocked = []
    if len(sys.argv) > 2:
        listed = "\n".join(words + [w[::-1] for w in words])
        blocked = [b.strip() for b in open(sys.argv[2], encoding="utf-8") if b.strip()]
        blocked = [b for b in blocked if b not in listed]
    pairs = squares(sys.stdin.read().splitlines())
    with_blocked = with_long_blocked = twice = latin = 0
    on_word, seen = {}, {}
    for puzzle, solution in pairs:
        square_lines = lines(puzzle)
        texts = "\n".join(text for text, _ in square_lines)
        if any(b in texts for b in blocked):
            with_blocked += 1
        if any(b in texts for b in blocked if len(b) >= 4):
            with_long_blocked += 1
        segments = {w: readings(square_lines, w) for w in set(words)}
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
    print(f"with a listed word read twice {twice}")
    worst = max(seen, key=lambda k: on_word[k] / seen[k])
    print(f"letters {len(seen)}; most telling {worst}: on a word cell {on_word[worst]} of {seen[worst]} "
          f"({100 * on_word[worst] / seen[worst]:.1f} %)")
    print(f"squares holding A-Z {latin}")


main()
