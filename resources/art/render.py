#!/usr/bin/env python3
"""Draws the program's pictures and writes them beside this folder, in resources/:

  kovelar.ico  the window icon at 16, 32 and 48 pixels, 32-bit DIB entries with AND masks
  klaar.bmp    the 64 x 64 picture of the "done" buttons, 32-bit with premultiplied alpha
  foto.jpg     the photo page's picture, a dusk landscape of 640 x 520, baseline JPEG

Run by hand after a change; its outputs are committed, so building needs none of this.
Standard library only. The JPEG is encoded by cjpeg (libjpeg-turbo-progs) or, without it,
ImageMagick's convert, from a PPM written here.

Every shape is a polygon filled with anti-aliased edges: each pixel row is sampled on several
sub-rows, and on each sub-row the covered part of every pixel is measured exactly.
"""

import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)


# ---- drawing

class Canvas:
    """Straight (not premultiplied) RGB in 0..1 and coverage alpha, row by row."""

    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        n = width * height
        if background is None:
            self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n
        else:
            self.r = [background[0]] * n
            self.g = [background[1]] * n
            self.b = [background[2]] * n
            self.a = [1.0] * n

    def fill(self, contours, color, alpha=1.0, subrows=5):
        """Fills the union of the contours (non-zero winding) with a colour or with a function
        of the pixel centre (x, y) giving a colour or a (colour, alpha) pair."""
        edges = []
        for contour in contours:
            for i, (x0, y0) in enumerate(contour):
                x1, y1 = contour[(i + 1) % len(contour)]
                if y0 == y1:
                    continue
                direction = 1 if y1 > y0 else -1
                if y0 > y1:
                    x0, y0, x1, y1 = x1, y1, x0, y0
                edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), direction))
        if not edges:
            return
        top = max(0, int(math.floor(min(e[0] for e in edges))))
        bottom = min(self.h, int(math.ceil(max(e[1] for e in edges))))
        callable_color = callable(color)
        weight = 1.0 / subrows
        for py in range(top, bottom):
            row = [e for e in edges if e[0] < py + 1 and e[1] > py]
            if not row:
                continue
            cover = {}
            for s in range(subrows):
                sy = py + (s + 0.5) / subrows
                crossings = sorted((e[2] + (sy - e[0]) * e[3], e[4])
                                   for e in row if e[0] <= sy < e[1])
                winding = 0
                start = 0.0
                for x, d in crossings:
                    if winding == 0:
                        start = x
                    winding += d
                    if winding == 0:
                        self._span(cover, start, x, weight)
            base = py * self.w
            for px, c in cover.items():
                if c <= 0.0:
                    continue
                c = min(c, 1.0)
                if callable_color:
                    value = color(px + 0.5, py + 0.5)
                    if len(value) == 2:
                        rgb, own = value
                    else:
                        rgb, own = value, 1.0
                else:
                    rgb, own = color, 1.0
                self.blend(base + px, rgb, c * alpha * own)

    def _span(self, cover, xa, xb, weight):
        xa = max(0.0, xa)
        xb = min(float(self.w), xb)
        if xb <= xa:
            return
        ia, ib = int(xa), int(xb)
        if ia == ib:
            cover[ia] = cover.get(ia, 0.0) + (xb - xa) * weight
            return
        cover[ia] = cover.get(ia, 0.0) + (ia + 1 - xa) * weight
        for i in range(ia + 1, ib):
            cover[i] = cover.get(i, 0.0) + weight
        if ib < self.w and xb > ib:
            cover[ib] = cover.get(ib, 0.0) + (xb - ib) * weight

    def blend(self, i, rgb, a):
        if a <= 0.0:
            return
        a = min(a, 1.0)
        da = self.a[i]
        out = a + da * (1.0 - a)
        if out <= 0.0:
            return
        keep = da * (1.0 - a)
        self.r[i] = (rgb[0] * a + self.r[i] * keep) / out
        self.g[i] = (rgb[1] * a + self.g[i] * keep) / out
        self.b[i] = (rgb[2] * a + self.b[i] * keep) / out
        self.a[i] = out

    def shade(self, function):
        """Sets every pixel from function(x, y) -> colour (opaque)."""
        for y in range(self.h):
            for x in range(self.w):
                i = y * self.w + x
                self.r[i], self.g[i], self.b[i] = function(x + 0.5, y + 0.5)
                self.a[i] = 1.0

    def bytes8(self, i):
        def q(v):
            return max(0, min(255, int(round(v * 255.0))))
        return q(self.r[i]), q(self.g[i]), q(self.b[i]), q(self.a[i])


def hex_color(text):
    text = text.lstrip('#')
    return tuple(int(text[k:k + 2], 16) / 255.0 for k in (0, 2, 4))


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def smooth(t):
    t = max(0.0, min(1.0, t))
    return t * t * (3 - 2 * t)


def oriented(points):
    """The contour counter-clockwise on screen, so that touching shapes add up under the
    non-zero rule instead of cancelling."""
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    return points if area < 0 else points[::-1]


def rect(x0, y0, x1, y1):
    return oriented([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def ellipse(cx, cy, rx, ry, steps=None):
    steps = steps or max(24, int(2 * math.pi * max(rx, ry)))
    return oriented([(cx + rx * math.cos(2 * math.pi * k / steps),
                      cy + ry * math.sin(2 * math.pi * k / steps)) for k in range(steps)])


def rounded_rect(x0, y0, x1, y1, radius, steps=10):
    radius = min(radius, (x1 - x0) / 2, (y1 - y0) / 2)
    points = []
    for cx, cy, start in ((x1 - radius, y0 + radius, -90), (x1 - radius, y1 - radius, 0),
                          (x0 + radius, y1 - radius, 90), (x0 + radius, y0 + radius, 180)):
        for k in range(steps + 1):
            a = math.radians(start + 90 * k / steps)
            points.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    return oriented(points)


def stroke(path, width, round_ends=True):
    """The outline of a polyline drawn with a pen of the given width: one contour along both
    sides, with round caps."""
    half = width / 2
    left, right = [], []
    n = len(path)
    for i, (x, y) in enumerate(path):
        xa, ya = path[max(i - 1, 0)]
        xb, yb = path[min(i + 1, n - 1)]
        dx, dy = xb - xa, yb - ya
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length, dx / length
        left.append((x + nx * half, y + ny * half))
        right.append((x - nx * half, y - ny * half))
    contours = [oriented(left + right[::-1])]
    if round_ends:
        for x, y in (path[0], path[-1]):
            contours.append(ellipse(x, y, half, half, 24))
    return contours


def bezier(p0, p1, p2, steps=40):
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (k / steps for k in range(steps + 1))]


def scaled(contours, factor, dx=0.0, dy=0.0):
    return [[(x * factor + dx, y * factor + dy) for x, y in c] for c in contours]


# ---- the icon

FOLDER_BACK = (hex_color('#F0B429'), hex_color('#D9900F'))
FOLDER_FRONT = (hex_color('#FFE27A'), hex_color('#F7BE2F'))
FOLDER_LINE = hex_color('#8C5A06')
ARROW = (hex_color('#3D8BFF'), hex_color('#1247B8'))
ARROW_LINE = hex_color('#FFFFFF')
ARROW_EDGE = hex_color('#0A2560')


def arrow_shape(unit):
    """A bold curved arrow that leaps from the left, over, and down into the folder; drawn in
    48 units, returned in pixels."""
    path = bezier((6.0, 24.0), (17.0, -4.0), (30.5, 13.5))
    tip_dir = (path[-1][0] - path[-3][0], path[-1][1] - path[-3][1])
    length = math.hypot(*tip_dir)
    ux, uy = tip_dir[0] / length, tip_dir[1] / length
    end = path[-1]
    body = stroke(path[:-3], 7.5)
    tip = (end[0] + ux * 11.0, end[1] + uy * 11.0)
    wing = 10.0
    head = oriented([(end[0] - uy * wing - ux * 2, end[1] + ux * wing - uy * 2), tip,
                     (end[0] + uy * wing - ux * 2, end[1] - ux * wing - uy * 2)])
    return scaled(body + [head], unit)


def render_icon(size):
    c = Canvas(size, size)
    u = size / 48.0
    # At 16 pixels every line is at least one pixel wide.
    line = max(1.0, 1.4 * u) / u

    def vertical(colors, y0, y1):
        return lambda x, y: mix(colors[0], colors[1], (y / u - y0) / (y1 - y0))

    # The back of the folder with its tab, outlined.
    back = [rounded_rect(2, 17, 46, 44, 3.5), rounded_rect(2, 12, 20, 21, 3)]
    c.fill(scaled(back, u), FOLDER_LINE)
    inner = [rounded_rect(2 + line, 17 + line, 46 - line, 44 - line, 3.5 - line),
             rounded_rect(2 + line, 12 + line, 20 - line, 21, 3 - line)]
    c.fill(scaled(inner, u), vertical(FOLDER_BACK, 12, 44))
    # The sheet inside the folder, where the arrow lands.
    c.fill(scaled([rounded_rect(6, 20, 42, 32, 1.5)], u), hex_color('#FFFDF4'))
    # The arrow, with a white rim that parts it from the folder.
    arrow = arrow_shape(u)
    # At 16 pixels a white rim would wash the arrow out: a dark one keeps it apart from the
    # folder and from a blue title bar alike.
    if size > 16:
        c.fill(stroke_outline(arrow, 1.6 * u), ARROW_LINE)
    else:
        c.fill(stroke_outline(arrow, 0.7), ARROW_EDGE)
    c.fill(arrow, vertical(ARROW, 0, 26))
    # The front flap, over the arrow's tail end.
    c.fill(scaled([rounded_rect(2, 26, 46, 44, 3.5)], u), FOLDER_LINE)
    c.fill(scaled([rounded_rect(2 + line, 26 + line, 46 - line, 44 - line, 3.5 - line)], u),
           vertical(FOLDER_FRONT, 26, 44))
    # A highlight along the flap's top edge.
    c.fill(scaled([rect(2 + line + 1, 26 + line, 46 - line - 1, 26 + line + max(1.0 / u, 1.2))],
                  u), hex_color('#FFF3C0'), alpha=0.8)
    return c


def stroke_outline(contours, grow):
    """The contours grown outwards by `grow` pixels: each edge stroked, plus the shapes."""
    out = list(contours)
    for contour in contours:
        out += stroke(contour + contour[:1], 2 * grow, round_ends=True)
    return out


def write_ico(path, canvases):
    entries, images = [], []
    offset = 6 + 16 * len(canvases)
    for c in canvases:
        size = c.w
        pixels = bytearray()
        mask = bytearray()
        mask_stride = ((size + 31) // 32) * 4
        for y in range(size - 1, -1, -1):  # bottom-up
            bits = bytearray(mask_stride)
            for x in range(size):
                r, g, b, a = c.bytes8(y * size + x)
                if a == 0:
                    r = g = b = 0
                pixels += bytes((b, g, r, a))
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                             len(pixels) + len(mask), 0, 0, 0, 0)
        image = header + bytes(pixels) + bytes(mask)
        entries.append(struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                                   len(image), offset))
        images.append(image)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(canvases)))
        for e in entries:
            f.write(e)
        for image in images:
            f.write(image)


# ---- the picture of the "done" buttons

def render_klaar():
    size = 64
    c = Canvas(size, size)
    top, bottom = hex_color('#3BD05A'), hex_color('#178526')
    edge = hex_color('#11661C')
    c.fill([rounded_rect(4, 4, 60, 60, 13)], edge)
    c.fill([rounded_rect(5.2, 5.2, 58.8, 58.8, 11.8)],
           lambda x, y: mix(top, bottom, smooth((y - 5) / 54)))
    # A soft sheen over the upper half.
    c.fill([rounded_rect(8, 7, 56, 32, 10)],
           lambda x, y: (hex_color('#FFFFFF'), 0.28 * (1 - (y - 7) / 25)))
    # The check mark, with a faint shadow below it.
    check = [(17.5, 33.5), (28.0, 44.0), (47.5, 20.5)]
    shadow = stroke([(x, y + 1.6) for x, y in check], 8.5)
    c.fill(shadow, hex_color('#0B4D14'), alpha=0.35, subrows=6)
    c.fill(stroke(check, 8.5), hex_color('#FFFFFF'), subrows=6)
    return c


def write_bmp_premultiplied(path, c):
    """A 32-bit BI_RGB bitmap, bottom-up, whose colours are premultiplied by alpha as
    AlphaBlend expects."""
    rows = bytearray()
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            r, g, b, a = c.bytes8(y * c.w + x)
            rows += bytes((b * a // 255, g * a // 255, r * a // 255, a))
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + bytes(rows))


# ---- the photo

def render_photo(width=640, height=520):
    rng = random.Random(1906)
    horizon = 318.0
    c = Canvas(width, height, (0, 0, 0))
    sun = (420.0, horizon - 22.0)

    zenith, middle, glow = hex_color('#27306A'), hex_color('#7C6AA6'), hex_color('#F6B27A')
    near_sun = hex_color('#FFE3A8')

    def sky(x, y):
        t = y / horizon
        base = mix(zenith, middle, smooth(t / 0.62)) if t < 0.62 else \
            mix(middle, glow, smooth((t - 0.62) / 0.38))
        d = math.hypot((x - sun[0]) / 1.4, y - sun[1])
        halo = math.exp(-d / 90.0) * 0.75
        return mix(base, near_sun, halo)

    meadow_far, meadow_near = hex_color('#46604A'), hex_color('#1C3320')
    water_top, water_bottom = hex_color('#C99AA0'), hex_color('#4C4F86')

    def land(x, y):
        return mix(meadow_far, meadow_near, smooth((y - horizon) / (height - horizon)))

    c.shade(lambda x, y: sky(x, y) if y < horizon else land(x, y))

    # The sun, half veiled by the haze over the horizon.
    c.fill([ellipse(sun[0], sun[1], 17, 17, 64)], lambda x, y: (
        mix(hex_color('#FFF4D6'), hex_color('#FFD08A'), (y - sun[1] + 17) / 34), 0.92))

    # Long thin clouds, lit from below by the low sun.
    for cx, cy, rx, ry in ((150, 120, 120, 9), (300, 92, 150, 7), (520, 150, 110, 8),
                           (90, 190, 80, 6), (380, 205, 140, 6), (600, 240, 70, 5)):
        parts = []
        for k in range(5):
            ox = rng.uniform(-rx * 0.5, rx * 0.5)
            parts.append(ellipse(cx + ox, cy + rng.uniform(-3, 3), rx * rng.uniform(0.35, 0.6),
                                 ry * rng.uniform(0.7, 1.2), 60))
        lit = mix(hex_color('#F2B8B0'), hex_color('#FFD9A0'), cy / horizon)
        dark = hex_color('#6B5C8E')
        c.fill(parts, lambda x, y, cy=cy, ry=ry, lit=lit, dark=dark: (
            mix(dark, lit, smooth((y - cy + ry) / (2 * ry))), 0.55))

    far_trees = hex_color('#3B3F63')
    # Far rows of trees and farms along the flat horizon.
    clumps = [rect(0, horizon - 1.5, width, horizon + 2)]
    x = rng.uniform(0, 20)
    while x < width:
        if rng.random() < 0.7:
            r = rng.uniform(2.5, 6.5)
            clumps.append(ellipse(x, horizon - r * 0.6, r * rng.uniform(1.0, 1.8), r, 24))
        x += rng.uniform(8, 26)
    c.fill(clumps, far_trees, alpha=0.7)

    # The water: a wide ditch across the meadow that mirrors the sky.
    water_y0, water_y1 = 372.0, 414.0

    def water(x, y):
        t = (y - water_y0) / (water_y1 - water_y0)
        base = mix(water_top, water_bottom, t)
        # The sun's path on the water, broken by ripples.
        d = abs(x - sun[0])
        ripple = 0.5 + 0.5 * math.sin(y * 1.7 + math.sin(x * 0.05) * 2.0)
        path = math.exp(-d / 26.0) * (0.35 + 0.45 * ripple) * (1 - 0.5 * t)
        return mix(base, hex_color('#FFE2B0'), path)

    bank = [(0, water_y0 + 4), (120, water_y0 + 1), (260, water_y0 - 1), (400, water_y0 + 2),
            (width, water_y0 - 2), (width, water_y1 + 6), (430, water_y1 + 2),
            (250, water_y1 - 2), (90, water_y1 + 3), (0, water_y1 + 1)]
    c.fill([oriented(bank)], water)

    church = hex_color('#241F3D')
    # The village church: a tower with a saddle roof, the nave beside it, a few houses and
    # trees, all dark against the glow.
    tx = 188.0
    tower = [oriented([(tx, horizon + 3), (tx, horizon - 92), (tx + 13, horizon - 124),
                       (tx + 26, horizon - 92), (tx + 26, horizon + 3)])]
    nave = [oriented([(tx + 24, horizon + 3), (tx + 24, horizon - 44), (tx + 48, horizon - 66),
                      (tx + 92, horizon - 66), (tx + 112, horizon - 44),
                      (tx + 112, horizon + 3)])]
    choir = [oriented([(tx + 110, horizon + 3), (tx + 110, horizon - 34),
                       (tx + 124, horizon - 46), (tx + 136, horizon - 34),
                       (tx + 136, horizon + 3)])]
    cross = [rect(tx + 12, horizon - 136, tx + 14, horizon - 122),
             rect(tx + 8.5, horizon - 132, tx + 17.5, horizon - 130)]
    c.fill(tower + nave + choir + cross, church)
    # A clock and two windows lit warm.
    c.fill([ellipse(tx + 13, horizon - 78, 4.2, 4.2, 32)], hex_color('#E8C27A'), alpha=0.9)
    for wx in (tx + 44, tx + 64, tx + 84):
        c.fill([rounded_rect(wx, horizon - 38, wx + 6, horizon - 20, 3)],
               hex_color('#F4C76B'), alpha=0.85)

    # Trees around the churchyard.
    def tree(x, base, r):
        c.fill([ellipse(x, base - r * 1.2, r, r * 1.1, 40),
                ellipse(x - r * 0.6, base - r * 0.7, r * 0.75, r * 0.75, 30),
                ellipse(x + r * 0.6, base - r * 0.75, r * 0.8, r * 0.7, 30),
                rect(x - 1.5, base - r * 0.5, x + 1.5, base + 2)], hex_color('#1E2B2C'))

    for x, r in ((170, 17), (150, 13), (345, 19), (372, 14), (118, 10)):
        tree(x, horizon + 3, r)

    # A farm with its big pyramid roof to the right, and a few houses.
    fx = 505.0
    c.fill([oriented([(fx, horizon + 3), (fx, horizon - 18), (fx + 38, horizon - 58),
                      (fx + 76, horizon - 18), (fx + 76, horizon + 3)]),
            oriented([(fx - 30, horizon + 3), (fx - 30, horizon - 14), (fx - 15, horizon - 30),
                      (fx, horizon - 14), (fx, horizon + 3)])], hex_color('#2A2544'))
    c.fill([rect(fx - 20, horizon - 10, fx - 14, horizon - 3)], hex_color('#F4C76B'), alpha=0.8)
    for hx, hw, hh in ((268 + 84 - 20, 20, 18), (400, 24, 16), (92, 22, 15)):
        c.fill([oriented([(hx, horizon + 3), (hx, horizon - hh), (hx + hw / 2, horizon - hh - 12),
                          (hx + hw, horizon - hh), (hx + hw, horizon + 3)])],
               hex_color('#2C2747'))
    tree(610, horizon + 3, 15)
    tree(470, horizon + 3, 11)

    # The meadow in front: tufts of grass catching the last light.
    for _ in range(900):
        gx = rng.uniform(0, width)
        gy = rng.uniform(horizon + 8, height)
        if water_y0 - 4 < gy < water_y1 + 8:
            continue
        depth = (gy - horizon) / (height - horizon)
        blade = 2 + depth * 14
        lean = rng.uniform(-0.4, 0.4) * blade
        tone = mix(hex_color('#6E8A55'), hex_color('#2F4A2A'), rng.random())
        c.fill([oriented([(gx - 0.6 - depth, gy), (gx + lean, gy - blade),
                          (gx + 0.6 + depth, gy)])], tone, alpha=0.5, subrows=3)

    # A row of fence posts along the ditch, and their reflections.
    for k in range(11):
        px = 40 + k * 26.0 + (k % 3)
        c.fill([rect(px, water_y0 - 22, px + 3, water_y0 + 2)], hex_color('#20262A'))
        c.fill([rect(px, water_y0 + 2, px + 3, water_y0 + 18)], hex_color('#20262A'), alpha=0.3)
    c.fill([rect(40, water_y0 - 17, 40 + 10 * 26 + 6, water_y0 - 15.5)], hex_color('#20262A'),
           alpha=0.9)

    # Reflections of the church tower in the water, broken up.
    for y in range(int(water_y0), int(water_y1)):
        shift = math.sin(y * 0.9) * 2.0
        c.fill([rect(tx + shift, y, tx + 26 + shift, y + 0.6)], church, alpha=0.25, subrows=2)

    # Fine grain, as on film, that also keeps the gradients free of bands.
    for i in range(width * height):
        n = rng.gauss(0.0, 0.009)
        c.r[i] += n
        c.g[i] += n
        c.b[i] += n
    return c


def write_ppm(path, c):
    data = bytearray()
    for i in range(c.w * c.h):
        r, g, b, _ = c.bytes8(i)
        data += bytes((r, g, b))
    with open(path, 'wb') as f:
        f.write(b'P6\n%d %d\n255\n' % (c.w, c.h) + bytes(data))


def encode_jpeg(ppm, jpg):
    if shutil.which('cjpeg'):
        subprocess.run(['cjpeg', '-quality', '90', '-baseline', '-outfile', jpg, ppm], check=True)
        return
    convert = '/usr/bin/convert' if os.path.exists('/usr/bin/convert') else shutil.which('convert')
    if not convert:
        sys.exit('render.py: neither cjpeg nor convert found')
    subprocess.run([convert, ppm, '-quality', '90', '-interlace', 'none', '-strip',
                    '-sampling-factor', '2x2,1x1,1x1', jpg], check=True)


def check_baseline_rgb(jpg):
    """The picture control and every decoder read a baseline JPEG with three components."""
    with open(jpg, 'rb') as f:
        data = f.read()
    i = 2
    while i + 4 <= len(data):
        if data[i] != 0xFF:
            break
        marker = data[i + 1]
        length = struct.unpack('>H', data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1):
            components = data[i + 9]
            if components != 3:
                sys.exit('render.py: %s has %d components' % (jpg, components))
            return
        if marker == 0xC2:
            sys.exit('render.py: %s is progressive' % jpg)
        i += 2 + length
    sys.exit('render.py: no baseline frame in %s' % jpg)


def main():
    write_ico(os.path.join(OUT, 'kovelar.ico'), [render_icon(s) for s in (16, 32, 48)])
    write_bmp_premultiplied(os.path.join(OUT, 'klaar.bmp'), render_klaar())
    photo = render_photo()
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, 'foto.ppm')
        write_ppm(ppm, photo)
        jpg = os.path.join(OUT, 'foto.jpg')
        encode_jpeg(ppm, jpg)
    check_baseline_rgb(jpg)
    print('wrote kovelar.ico, klaar.bmp and foto.jpg in', OUT)


if __name__ == '__main__':
    main()
