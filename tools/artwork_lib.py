"""Small raster toolkit shared by the artwork scripts (standard library only).

Pictures are drawn on an RGBA canvas with pixel-exact primitives; letters come
from real fonts rasterised once by ImageMagick and cached as coverage masks.
Everything is deterministic so re-running the scripts reproduces the files
byte for byte.
"""

import math
import os
import struct
import subprocess
import zlib

CONVERT = os.environ.get("ARTWORK_CONVERT", "convert")
OUT_DIR = os.environ.get(
    "ARTWORK_OUT",
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "pictures"),
)


def hexrgb(text):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


# The house palette. Icons use exactly these 15 colours plus transparency, so
# each icon is a 16-colour picture. Light grey C0C0C0 is deliberately absent:
# the buttons treat it as their see-through mask colour.
PALETTE = {
    "ink": hexrgb("1d2840"),
    "white": hexrgb("ffffff"),
    "paper": hexrgb("fff3d2"),
    "light": hexrgb("dce4ef"),
    "grey": hexrgb("8592aa"),
    "red": hexrgb("e6483d"),
    "darkred": hexrgb("a3271f"),
    "orange": hexrgb("f79d2a"),
    "yellow": hexrgb("ffd43b"),
    "green": hexrgb("3cb34f"),
    "darkgreen": hexrgb("217a37"),
    "sky": hexrgb("62b6ee"),
    "blue": hexrgb("2c68bd"),
    "violet": hexrgb("8c5bcb"),
    "brown": hexrgb("a86d3d"),
}


def mix(a, b, t):
    """Linear mix of two RGB colours, t=0 gives a, t=1 gives b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# --- drawing scale ------------------------------------------------------------
#
# Pictures are designed in logical pixels. A canvas made at a drawing scale above 1 has that many
# more device pixels per logical pixel and draws every shape from its geometry at the finer grid,
# so a copy for a scaled screen is drawn anew, never enlarged. At scale 1 every primitive is the
# plain pixel-exact one.

SCALE = 1


class drawing_scale:
    """`with drawing_scale(2): ...` makes the canvases created inside it draw at that scale."""

    def __init__(self, scale):
        self.scale = scale

    def __enter__(self):
        global SCALE
        self.previous, SCALE = SCALE, self.scale

    def __exit__(self, *exc):
        global SCALE
        SCALE = self.previous


def scale_suffix(scale):
    """File name suffix of a copy at this scale: "" for 1, "@2x", "@1.5x"."""
    return "" if scale == 1 else "@%gx" % scale


class Canvas:
    """RGBA picture with crisp primitives; colours are RGB tuples or palette names.

    w and h are the logical size that drawing code works in; dw and dh the device size of px.
    """

    def __init__(self, width, height, fill=None, scale=None):
        self.s = SCALE if scale is None else scale
        self.w = width
        self.h = height
        self.dw = self.edge(width)
        self.dh = self.edge(height)
        self.px = [[None] * self.dw for _ in range(self.dh)]  # None = transparent
        if fill is not None:
            self.rect(0, 0, width - 1, height - 1, fill)

    def edge(self, v):
        """Device edge of logical coordinate v; logical pixel x covers edge(x) up to edge(x + 1)."""
        return v if self.s == 1 else int(math.floor(v * self.s + 0.5))

    @staticmethod
    def colour(c):
        return PALETTE[c] if isinstance(c, str) else tuple(c)

    def copy(self):
        other = Canvas(self.w, self.h, scale=self.s)
        other.px = [row[:] for row in self.px]
        return other

    # --- device pixels ------------------------------------------------------
    def _put(self, x, y, c, alpha=1.0):
        """Device pixel (x, y) becomes c, or c laid over it with opacity alpha."""
        if not (0 <= x < self.dw and 0 <= y < self.dh):
            return
        if alpha >= 1:
            self.px[y][x] = None if c is None else self.colour(c)
            return
        if alpha <= 0:
            return
        c = self.colour(c)
        under = self.px[y][x]
        if under is None:
            # transparent canvases have nothing to mix with: keep edges crisp
            if alpha >= 0.5:
                self.px[y][x] = c
        else:
            self.px[y][x] = mix(under, c, alpha)

    def _span(self, lo, hi, size):
        """Device range of the logical pixels lo..hi (inclusive), kept on the canvas.

        A single logical pixel (a one-pixel stroke) is always the scale's rounded width,
        centred on its place, so strokes stay even where the scale is fractional.
        """
        if self.s != 1 and lo == hi:
            width = max(1, int(math.floor(self.s + 0.5)))
            start = int(math.floor((lo + 0.5) * self.s - width / 2.0 + 0.5))
            return range(max(0, start), min(size, start + width))
        return range(max(0, self.edge(lo)), min(size, self.edge(hi + 1)))

    def shade(self, inside, c, alpha=1.0):
        """Paint every device pixel whose centre, in logical coordinates, satisfies inside(x, y)."""
        for y in range(self.dh):
            ly = (y + 0.5) / self.s
            for x in range(self.dw):
                if inside((x + 0.5) / self.s, ly):
                    self._put(x, y, c, alpha)

    # --- logical pixels -----------------------------------------------------
    def set(self, x, y, c):
        for dy in self._span(y, y, self.dh):
            for dx in self._span(x, x, self.dw):
                self.px[dy][dx] = None if c is None else self.colour(c)

    def get(self, x, y):
        if not (0 <= x < self.w and 0 <= y < self.h):
            return None
        return self.px[self.edge(y)][self.edge(x)]

    def blend(self, x, y, c, alpha):
        """Lay colour c over the pixel with opacity alpha (0..1)."""
        for dy in self._span(y, y, self.dh):
            for dx in self._span(x, x, self.dw):
                self._put(dx, dy, c, alpha)

    # --- primitives -------------------------------------------------------
    def rect(self, x0, y0, x1, y1, c, alpha=1.0):
        for y in self._span(y0, y1, self.dh):
            for x in self._span(x0, x1, self.dw):
                self._put(x, y, c, alpha)

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0, c)
        self.rect(x0, y1, x1, y1, c)
        self.rect(x0, y0, x0, y1, c)
        self.rect(x1, y0, x1, y1, c)

    def hline(self, x0, x1, y, c):
        self.rect(min(x0, x1), y, max(x0, x1), y, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, min(y0, y1), x, max(y0, y1), c)

    def line(self, x0, y0, x1, y1, c, width=1):
        """Bresenham line drawn with a square brush of the given width.

        Scaled, the same walk runs over device pixels with a brush as wide as the scaled one,
        from and to the brush's scaled places.
        """
        lo = -(width // 2)
        if self.s != 1:
            brush = int(math.floor(width * self.s + 0.5))

            def corner(v):
                centre = (v + lo + width / 2.0) * self.s
                return int(math.floor(centre - brush / 2.0 + 0.5))
            x0, y0, x1, y1 = corner(x0), corner(y0), corner(x1), corner(y1)
            width, lo = brush, 0
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            for by in range(lo, lo + width):
                for bx in range(lo, lo + width):
                    self._put(x0 + bx, y0 + by, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def _rows(self, lo, hi):
        """Device rows whose centres may lie between the logical coordinates lo and hi."""
        return range(max(0, int((lo - 1) * self.s)), min(self.dh, int((hi + 2) * self.s) + 1))

    def _cols(self, lo, hi):
        return range(max(0, int((lo - 1) * self.s)), min(self.dw, int((hi + 2) * self.s) + 1))

    def ellipse(self, cx, cy, rx, ry, c, alpha=1.0):
        """Filled ellipse; a pixel belongs to it when its centre lies inside."""
        for y in self._rows(cy - ry, cy + ry):
            for x in self._cols(cx - rx, cx + rx):
                u = ((x + 0.5) / self.s - cx) / rx
                v = ((y + 0.5) / self.s - cy) / ry
                if u * u + v * v <= 1.0:
                    self._put(x, y, c, alpha)

    def disc(self, cx, cy, r, c, alpha=1.0):
        self.ellipse(cx, cy, r, r, c, alpha)

    def ring(self, cx, cy, r_out, r_in, c):
        for y in self._rows(cy - r_out, cy + r_out):
            for x in self._cols(cx - r_out, cx + r_out):
                d = math.hypot((x + 0.5) / self.s - cx, (y + 0.5) / self.s - cy)
                if r_in < d <= r_out:
                    self._put(x, y, c)

    def rrect(self, x0, y0, x1, y1, r, c, alpha=1.0):
        """Filled rectangle with rounded corners of radius r (pixels, inclusive box)."""
        for y in self._span(y0, y1, self.dh):
            ly = (y + 0.5) / self.s
            for x in self._span(x0, x1, self.dw):
                lx = (x + 0.5) / self.s
                cx = min(max(lx, x0 + r), x1 + 1 - r)
                cy = min(max(ly, y0 + r), y1 + 1 - r)
                if (lx - cx) ** 2 + (ly - cy) ** 2 <= r * r:
                    self._put(x, y, c, alpha)

    def poly(self, pts, c, alpha=1.0):
        """Filled polygon (even-odd), sampled at pixel centres."""
        ys = [p[1] for p in pts]
        s = self.s
        for y in self._rows(min(ys), max(ys) - 1):
            yc = (y + 0.5) / s
            xs = []
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(max(0, math.ceil(xs[i] * s - 0.5)), min(self.dw, math.floor(xs[i + 1] * s - 0.5) + 1)):
                    self._put(x, y, c, alpha)

    def outline(self, c, diagonal=False):
        """Give every shape a one-pixel rim: transparent pixels touching paint become c.

        Scaled, the rim is as many device pixels wide as the scale rounds to, and it takes the
        transparent pixels within that distance of paint (straight, or also diagonal).
        """
        c = self.colour(c)
        reach = max(1, int(math.floor(self.s + 0.5)))
        steps = [(dx, dy) for dy in range(-reach, reach + 1) for dx in range(-reach, reach + 1)
                 if (dx or dy) and (max(abs(dx), abs(dy)) <= reach if diagonal else dx * dx + dy * dy <= reach * reach)]
        marks = []
        for y in range(self.dh):
            for x in range(self.dw):
                if self.px[y][x] is None and any(
                        0 <= x + dx < self.dw and 0 <= y + dy < self.dh and self.px[y + dy][x + dx] is not None
                        for dx, dy in steps):
                    marks.append((x, y))
        for x, y in marks:
            self.px[y][x] = c

    def paste(self, other, ox, oy):
        assert other.s == self.s, "pasting between drawing scales"
        ox, oy = self.edge(ox), self.edge(oy)
        for y in range(other.dh):
            for x in range(other.dw):
                if other.px[y][x] is not None:
                    self._put(ox + x, oy + y, other.px[y][x])

    def text(self, ch, font, size, cx, cy, c, alpha=1.0, solid=False, scale_x=1.0):
        """Draw one glyph centred on (cx, cy): horizontally by its ink, vertically by cap height.

        solid=True thresholds the coverage (for palette icons), otherwise it is blended.
        scale_x squeezes the glyph horizontally (used for flipping tiles).
        Scaled, the glyph is rendered at the scaled point size, not enlarged.
        """
        if self.s != 1:
            size, cx, cy = size * self.s, cx * self.s, cy * self.s
        g = glyph(ch, font, size, mono=solid)
        if scale_x <= 0:
            return
        gmid_x = (g.ink[0] + g.ink[2] + 1) / 2.0
        gmid_y = (g.cap[0] + g.cap[1] + 1) / 2.0
        oy = int(round(cy - gmid_y))
        if scale_x >= 1.0:
            ox = int(round(cx - gmid_x))
            for y in range(g.h):
                for x in range(g.w):
                    cov = g.cov[y][x]
                    if cov:
                        self._glyph_pixel(x + ox, y + oy, cov, c, alpha, solid)
            return
        # squeezed glyph: each target pixel averages the source columns it covers
        half = (g.ink[2] - g.ink[0] + 1) * scale_x / 2.0
        for tx in range(int(math.floor(cx - half)) - 1, int(math.ceil(cx + half)) + 1):
            s0 = gmid_x + (tx - cx) / scale_x
            s1 = gmid_x + (tx + 1 - cx) / scale_x
            for y in range(g.h):
                total, x = 0.0, s0
                while x < s1 - 1e-9:
                    nxt = min(s1, math.floor(x) + 1)
                    sx = int(math.floor(x))
                    if 0 <= sx < g.w:
                        total += g.cov[y][sx] * (nxt - x)
                    x = nxt
                cov = int(round(total / (s1 - s0)))
                if cov:
                    self._glyph_pixel(tx, y + oy, cov, c, alpha, solid)

    def _glyph_pixel(self, x, y, cov, c, alpha, solid):
        """Device pixel of a glyph with coverage cov (0..255)."""
        if solid:
            if cov >= 128:
                self._put(x, y, c)
        else:
            self._put(x, y, c, alpha * cov / 255.0)

    def scaled(self, factor):
        """Nearest-neighbour enlargement (previews)."""
        big = Canvas(self.dw * factor, self.dh * factor, scale=1)
        for y in range(big.h):
            for x in range(big.w):
                big.px[y][x] = self.px[y // factor][x // factor]
        return big


class Glyph:
    def __init__(self, cov, cap):
        self.cov = cov
        self.h = len(cov)
        self.w = len(cov[0])
        xs = [x for row in cov for x, v in enumerate(row) if v > 24]
        ys = [y for y, row in enumerate(cov) if any(v > 24 for v in row)]
        self.ink = (min(xs), min(ys), max(xs), max(ys)) if xs else (0, 0, 0, 0)
        self.cap = cap


_GLYPHS = {}
_CAPS = {}


def _render(ch, font, size, mono):
    box = int(size * 2.2) + 8
    # mono: the font's own hinted one-bit rendering, crisp for pixel-exact icons
    smoothing = ["+antialias"] if mono else []
    out = subprocess.run(
        [CONVERT, "-size", "%dx%d" % (box, box), "xc:black"] + smoothing + ["-font", font, "-pointsize", str(size),
         "-fill", "white", "-gravity", "center", "-annotate", "+0+0", ch, "-depth", "8", "pgm:-"],
        check=True, stdout=subprocess.PIPE).stdout
    # binary PGM: "P5\n<w> <h>\n<max>\n" then bytes
    parts = out.split(b"\n", 3)
    if parts[0] != b"P5":
        raise RuntimeError("unexpected glyph output for %r" % ch)
    w, h = (int(v) for v in parts[1].split())
    data = parts[3]
    return [list(data[y * w:(y + 1) * w]) for y in range(h)]


def glyph(ch, font, size, mono=False):
    key = (ch, font, size, mono)
    if key not in _GLYPHS:
        capkey = (font, size, mono)
        if capkey not in _CAPS:
            h = Glyph(_render("H", font, size, mono), None)
            _CAPS[capkey] = (h.ink[1], h.ink[3])
        _GLYPHS[key] = Glyph(_render(ch, font, size, mono), _CAPS[capkey])
    return _GLYPHS[key]


# --- file writers -----------------------------------------------------------

def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def _png(width, height, colour_type, rows, extra=b""):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + extra
            + _chunk(b"IDAT", zlib.compress(raw, 9))
            + _chunk(b"IEND", b""))


def out_path(name):
    os.makedirs(OUT_DIR, exist_ok=True)
    return os.path.join(OUT_DIR, name)


def write_png_rgb(canvas, path):
    rows = []
    for row in canvas.px:
        r = []
        for p in row:
            if p is None:
                raise ValueError("%s: opaque picture has a transparent pixel" % path)
            r.extend(p)
        rows.append(r)
    with open(path, "wb") as f:
        f.write(_png(canvas.dw, canvas.dh, 2, rows))


def write_png_rgba(rgba_rows, width, height, path):
    with open(path, "wb") as f:
        f.write(_png(width, height, 6, rgba_rows))


def write_png_icon(canvas, path):
    """Palette PNG: index 0 fully transparent, the rest the colours used (at most 15)."""
    used = []
    for row in canvas.px:
        for p in row:
            if p is not None and p not in used:
                used.append(p)
    if len(used) > 15:
        raise ValueError("%s uses %d colours, more than 15" % (path, len(used)))
    allowed = set(PALETTE.values())
    strays = [p for p in used if p not in allowed]
    if strays:
        raise ValueError("%s uses colours outside the palette: %r" % (path, strays))
    # fixed order (palette order) so files are stable
    order = [c for c in PALETTE.values() if c in used]
    index = {c: i + 1 for i, c in enumerate(order)}
    plte = b"".join(bytes((0, 0, 0)) if i == 0 else bytes(order[i - 1]) for i in range(len(order) + 1))
    rows = [[0 if p is None else index[p] for p in row] for row in canvas.px]
    extra = _chunk(b"PLTE", plte) + _chunk(b"tRNS", b"\x00")
    with open(path, "wb") as f:
        f.write(_png(canvas.dw, canvas.dh, 3, rows, extra))


def write_ppm(canvas, path, background=(255, 255, 255)):
    data = bytearray()
    for row in canvas.px:
        for p in row:
            data.extend(background if p is None else p)
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (canvas.dw, canvas.dh))
        f.write(bytes(data))


def convert(*args):
    subprocess.run([CONVERT] + [str(a) for a in args], check=True)


def ease(t):
    """Smooth step 0..1 for gentle motion."""
    t = max(0.0, min(1.0, t))
    return t * t * (3 - 2 * t)
