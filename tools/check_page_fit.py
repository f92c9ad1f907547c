#!/usr/bin/env python3
"""Checks that printed pages keep every word of the list on the paper.

Makes PDFs with the program's --make for word lists of several lengths, square sides, papers and
both prints (with --solution), reads them back with `pdftotext -bbox` and reports, for each run:
whether every listed word's box lies inside the page, whether each word appears exactly once on the
puzzle pages and once on the solution pages, and the page count. It also measures the grid letters'
height in normal and large print, and checks that a long hidden message and dedication stay inside
the page. With --compare OLD_BINARY it lists the 25-word runs whose texts or positions differ
(the date aside), unless the old square's letters were under the classic size.

    tools/check_page_fit.py build/brivamo [--compare OLD_BINARY]

Exits with status 1 when a check fails.
"""

import argparse
import itertools
import random
import re
import subprocess
import sys
import tempfile
from pathlib import Path

WORD = re.compile(r'<page width="([\d.]+)" height="([\d.]+)">|'
                  r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>')
DATE = re.compile(r'^\d\d/\d\d/\d\d$|^\d\d:\d\d[ap]m$')


def word_list(count):
    """A few long words, the rest of three letters: a list the generator completes at small sides."""
    rng = random.Random(5)
    letters = 'AEIRSTNOLDUM'
    longs = []
    while len(longs) < (3 if count > 60 else max(2, count // 10)):
        word = ''.join(rng.choice(letters) for _ in range(rng.randint(6, 12)))
        if word not in longs:
            longs.append(word)
    shorts = [''.join(t) for t in itertools.product(letters, repeat=3)]
    rng.shuffle(shorts)
    return longs + shorts[:count - len(longs)]


def read_pages(pdf):
    html = subprocess.run(['pdftotext', '-bbox', str(pdf), '-'], capture_output=True, text=True,
                          check=True).stdout
    pages = []
    for m in WORD.finditer(html):
        if m.group(1):
            pages.append({'width': float(m.group(1)), 'height': float(m.group(2)), 'words': []})
        else:
            box = tuple(float(m.group(i)) for i in range(3, 7))
            pages[-1]['words'].append((m.group(7), box))
    return pages


def make(binary, folder, arguments):
    pdf = folder / 'out.pdf'
    pdf.unlink(missing_ok=True)
    for seed in range(1, 30):
        run = subprocess.run([binary, '--make', *arguments, '--seed', str(seed), '--pdf', str(pdf)],
                             cwd=folder, capture_output=True, text=True)
        if run.returncode == 0 and pdf.exists():
            return read_pages(pdf), seed
    return None, None


def check_words(pages, words):
    """Problems with the listed words on these pages: outside the page, missing or repeated."""
    problems = []
    counts = {}
    for page in pages:
        kind = 'solution' if any(t == 'Solution' for t, _ in page['words']) else 'puzzle'
        for text, (x0, y0, x1, y1) in page['words']:
            if text in words:
                counts[(kind, text)] = counts.get((kind, text), 0) + 1
                if x0 < 0 or y0 < 0 or x1 > page['width'] or y1 > page['height']:
                    problems.append(f'{text} off the page at ({x1:.0f}, {y1:.0f})')
    for kind in ('puzzle', 'solution'):
        for word in words:
            if counts.get((kind, word), 0) != 1:
                problems.append(f'{word} {counts.get((kind, word), 0)} times on the {kind} pages')
    return problems


def positions(pages):
    return [[(t, round(b[0], 1), round(b[1], 1)) for t, b in p['words'] if not DATE.match(t)] for p in pages]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('binary')
    parser.add_argument('--compare', help='an older binary: the 25-word pages must match it')
    options = parser.parse_args()
    options.binary = str(Path(options.binary).resolve())
    failed = False
    with tempfile.TemporaryDirectory() as name:
        folder = Path(name)
        for count in (25, 42, 60, 100):
            words = word_list(count)
            (folder / f'fit{count}.lst').write_text('\n'.join(words) + '\n')
            for side, paper, large in itertools.product((15, 30), ('a4', 'letter'), (False, True)):
                arguments = [f'fit{count}', '--size', str(side), '--paper', paper, '--solution']
                arguments += ['--large-print'] if large else []
                pages, seed = make(options.binary, folder, arguments)
                if pages is None:  # too many words for the square: the next side the generator completes
                    side = 22
                    arguments[2] = str(side)
                    pages, seed = make(options.binary, folder, arguments)
                label = f'{count:3} words, side {side}, {paper:6} {"large " if large else "normal"}'
                problems = check_words(pages, set(words))
                failed |= bool(problems)
                verdict = 'all words inside, once each' if not problems else '; '.join(problems[:3])
                if options.compare and count <= 25:
                    old = subprocess.run([options.compare, '--make', *arguments, '--seed', str(seed), '--pdf',
                                          str(folder / 'old.pdf')], cwd=folder, capture_output=True)
                    before = read_pages(folder / 'old.pdf')
                    same = old.returncode == 0 and positions(before) == positions(pages)
                    # Where the old square's letters were under the classic 11 points, they must grow.
                    small = min(b[3] - b[1] for t, b in before[0]['words'] if len(t) == 1) < 12.2
                    failed |= not same and not small
                    verdict += ', same as before' if same else (
                        ', larger letters than before' if small else ', DIFFERS from before')
                print(f'{label}: {len(pages)} pages, {verdict}')

        # Grid letters: the height of the single letters on the puzzle page.
        (folder / 'few.lst').write_text('TIGER\nRABBIT\nBEAR\nCAT\n')
        for side in (10, 20, 25, 30):
            heights = []
            for large in (False, True):
                pages, _ = make(options.binary, folder, ['few', '--size', str(side), '--paper', 'letter']
                                + (['--large-print'] if large else []))
                boxes = sorted(b[3] - b[1] for t, b in pages[0]['words'] if len(t) == 1)
                heights.append(boxes[len(boxes) // 2])
            failed |= heights[1] < heights[0] - 0.05
            print(f'side {side}: grid letter box {heights[0]:.1f} pt normal, {heights[1]:.1f} pt large print')

        # Long lines: a 200-character message and dedication.
        # Long lines: a 200-character message and dedication (in the list's letters, spelling none
        # of its words).
        text = ' '.join(['BIG', 'RACE'] * 50)[:200]
        for large in (False, True):
            pages, _ = make(options.binary, folder, ['few', '--size', '30', '--paper', 'letter', '--solution',
                                                     '--message', text, '--dedication', text]
                            + (['--large-print'] if large else []))
            outside = [t for p in pages for t, b in p['words'] if b[2] > p['width'] or b[3] > p['height']]
            failed |= bool(outside)
            print(f'200-character message and dedication, {"large" if large else "normal"} print: '
                  + ('inside the page' if not outside else f'{len(outside)} words off the page'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
