#!/usr/bin/env python3
"""Draws the program's bitmaps and icon into resources/ (run from anywhere; the output is committed).

    tools/draw_resources.py [--preview DIR]

Every picture is a handful of vector shapes rendered with supersampling, so edges stay smooth at
16 x 16. Outputs:
  bitmaps/WindowsItems.bmp (234), WebBrowsers.bmp (235), Applications.bmp (236), CustomItems.bmp (241):
      16 x 16 category button pictures, 8 bits per pixel. The background is light grey (192,192,192),
      so a button that loads them with LR_LOADMAP3DCOLORS shows its own face colour around them; edge
      pixels are blended against a typical face colour.
  bitmaps/CheckBoxes.bmp (270): the results list's state images, 32 x 16 (unchecked, checked), blue
      (0,0,255) as the mask colour.
  icons/Quillon.ico (150): the program icon at 16, 32 and 48 pixels with alpha.
--preview DIR also writes enlarged PNG copies for looking at them.
"""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources")

MAP3D_GREY = (192, 192, 192)   # becomes the button face with LR_LOADMAP3DCOLORS
TYPICAL_FACE = (240, 240, 240)  # what half-covered edge pixels are blended against
MASK_BLUE = (0, 0, 255)


# ---------------------------------------------------------------- shapes (unit square, y down)

class Shape:
    def contains(self, x, y):
        raise NotImplementedError

    def __or__(self, other):
        return Union(self, other)

    def __sub__(self, other):
        return Difference(self, other)

    def __and__(self, other):
        return Intersection(self, other)


class Union(Shape):
    def __init__(self, *parts):
        self.parts = parts

    def contains(self, x, y):
        return any(p.contains(x, y) for p in self.parts)


class Difference(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y):
        return self.a.contains(x, y) and not self.b.contains(x, y)


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y):
        return self.a.contains(x, y) and self.b.contains(x, y)


class Polygon(Shape):
    def __init__(self, points):
        self.points = points

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return inside


class Ellipse(Shape):
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry if ry is not None else rx

    def contains(self, x, y):
        dx, dy = (x - self.cx) / self.rx, (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1.0


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def contains(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r * self.r


class Eroded(Shape):
    """The shape shrunk by d: a point counts when the shape holds every point around it at distance d
    (an outline is the shape in a dark colour with its eroded self painted over it)."""

    def __init__(self, shape, d, directions=16):
        self.shape = shape
        self.offsets = [(d * math.cos(2 * math.pi * i / directions), d * math.sin(2 * math.pi * i / directions))
                        for i in range(directions)]

    def contains(self, x, y):
        return self.shape.contains(x, y) and all(self.shape.contains(x + dx, y + dy) for dx, dy in self.offsets)


class Stroke(Shape):
    """A polyline drawn with a round pen of the given width."""

    def __init__(self, points, width):
        self.points, self.half = points, width / 2.0

    def contains(self, x, y):
        for (ax, ay), (bx, by) in zip(self.points, self.points[1:]):
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            px, py = ax + t * dx, ay + t * dy
            if (x - px) ** 2 + (y - py) ** 2 <= self.half * self.half:
                return True
        return False


def ellipse_points(cx, cy, rx, ry, steps=48, start=0.0, end=2 * math.pi):
    return [(cx + rx * math.cos(start + (end - start) * i / steps), cy + ry * math.sin(start + (end - start) * i / steps))
            for i in range(steps + 1)]


def bezier(p0, p1, p2, steps=16):
    return [((1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0],
             (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1])
            for t in (i / steps for i in range(steps + 1))]


def vertical_gradient(top, bottom, y0=0.0, y1=1.0):
    def color(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return color


def solid(rgb):
    return lambda _x, _y: rgb


# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, width, height, samples=8):
        self.w, self.h, self.n = width, height, samples
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(width)] for _ in range(height)]

    def fill(self, shape, color, box=None, scale=None):
        """Paints shape (unit coordinates scaled to `scale` pixels, default the canvas height) over the
        canvas; `box` = (x, y) offset in pixels."""
        ox, oy = box or (0, 0)
        s = scale or self.h
        n = self.n
        for py in range(self.h):
            for px in range(self.w):
                hits, acc = 0, [0.0, 0.0, 0.0]
                for sy in range(n):
                    for sx in range(n):
                        ux = (px - ox + (sx + 0.5) / n) / s
                        uy = (py - oy + (sy + 0.5) / n) / s
                        if shape.contains(ux, uy):
                            c = color(ux, uy)
                            hits += 1
                            acc[0] += c[0]
                            acc[1] += c[1]
                            acc[2] += c[2]
                if hits:
                    a = hits / (n * n)
                    src = [v / hits for v in acc]
                    r, g, b, da = self.px[py][px]
                    out_a = a + da * (1 - a)
                    mix = [(src[i] * a + (r, g, b)[i] * da * (1 - a)) / out_a for i in range(3)]
                    self.px[py][px] = (mix[0], mix[1], mix[2], out_a)

    def rgba(self):
        return [[(int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))) for (r, g, b, a) in row]
                for row in self.px]


def flatten(rgba, background):
    """Opaque rows: covered pixels blended over background."""
    out = []
    for row in rgba:
        line = []
        for r, g, b, a in row:
            t = a / 255.0
            line.append(tuple(int(round(c * t + background[i] * (1 - t))) for i, c in enumerate((r, g, b))))
        out.append(line)
    return out


# ---------------------------------------------------------------- the pictures

def draw_monitor(c):
    bezel = RoundRect(0.02, 0.06, 0.98, 0.74, 0.08)
    c.fill(bezel, solid((62, 72, 84)))
    c.fill(RoundRect(0.09, 0.13, 0.91, 0.67, 0.02), vertical_gradient((96, 176, 246), (28, 92, 196), 0.13, 0.67))
    # a small window on the screen: the system's own things
    c.fill(RoundRect(0.22, 0.24, 0.66, 0.56, 0.02), solid((250, 250, 252)))
    c.fill(Polygon([(0.22, 0.24), (0.66, 0.24), (0.66, 0.33), (0.22, 0.33)]), solid((16, 52, 120)))
    c.fill(Polygon([(0.40, 0.74), (0.60, 0.74), (0.64, 0.87), (0.36, 0.87)]), solid((120, 128, 138)))
    c.fill(RoundRect(0.20, 0.85, 0.80, 0.96, 0.04), solid((70, 78, 90)))


def draw_globe(c):
    c.fill(Ellipse(0.5, 0.5, 0.48), solid((20, 76, 150)))
    ocean = Ellipse(0.5, 0.5, 0.42)

    def sphere(x, y):
        t = min(1.0, math.hypot(x - 0.36, y - 0.32) / 0.75)
        return tuple(a + (b - a) * t for a, b in zip((120, 196, 255), (30, 104, 204)))
    c.fill(ocean, sphere)
    w = 0.06
    grid = Union(Stroke(ellipse_points(0.5, 0.5, 0.20, 0.44), w),
                 Stroke([(0.5, 0.06), (0.5, 0.94)], w),
                 Stroke([(0.06, 0.5), (0.94, 0.5)], w))
    c.fill(grid & ocean, solid((214, 236, 255)))


def puzzle():
    body = Polygon([(0.08, 0.34), (0.72, 0.34), (0.72, 0.94), (0.08, 0.94)])
    top_knob = Ellipse(0.40, 0.21, 0.15)
    right_knob = Ellipse(0.84, 0.64, 0.14)
    notch = Ellipse(0.08, 0.64, 0.12)
    return Union(body, top_knob, right_knob) - notch


def draw_puzzle(c):
    piece = puzzle()
    c.fill(piece, solid((30, 104, 36)))
    c.fill(Eroded(piece, 0.065), vertical_gradient((140, 222, 96), (48, 160, 52), 0.05, 0.95))


def draw_folder_search(c):
    outline = (150, 100, 16)
    back = Polygon([(0.04, 0.16), (0.36, 0.16), (0.44, 0.26), (0.92, 0.26), (0.92, 0.86), (0.04, 0.86)])
    c.fill(back, solid(outline))
    c.fill(Polygon([(0.10, 0.22), (0.34, 0.22), (0.42, 0.32), (0.86, 0.32), (0.86, 0.80), (0.10, 0.80)]),
           solid((232, 176, 56)))
    front = Polygon([(0.04, 0.38), (0.92, 0.38), (0.92, 0.86), (0.04, 0.86)])
    c.fill(front, solid(outline))
    c.fill(Polygon([(0.10, 0.44), (0.86, 0.44), (0.86, 0.80), (0.10, 0.80)]),
           vertical_gradient((255, 224, 120), (244, 184, 60), 0.44, 0.80))
    dark = (44, 54, 66)
    c.fill(Stroke([(0.74, 0.74), (0.95, 0.95)], 0.15), solid(dark))
    c.fill(Ellipse(0.58, 0.58, 0.27), solid(dark))
    c.fill(Ellipse(0.58, 0.58, 0.18), vertical_gradient((236, 248, 255), (168, 214, 250), 0.40, 0.76))


def draw_checkbox(c, x0, checked):
    box_x, box_y = x0 + 1, 2
    # pixel-exact frame and face; only the check mark is smoothed (over the opaque face)
    for y in range(13):
        for x in range(13):
            edge = x in (0, 12) or y in (0, 12)
            if edge:
                rgb = (72, 86, 104)
            else:
                t = (y - 1) / 10.0
                rgb = tuple(a + (b - a) * t for a, b in zip((236, 240, 245), (255, 255, 255)))
            c.px[box_y + y][box_x + x] = (rgb[0], rgb[1], rgb[2], 1.0)
    if checked:
        mark = Stroke([(box_x + 3.2, box_y + 6.6), (box_x + 5.4, box_y + 9.0), (box_x + 9.8, box_y + 3.6)], 1.9)
        c.fill(mark, solid((24, 110, 36)), scale=1)


def shield(inset):
    top = bezier((0.10 + inset, 0.17 + inset * 0.6), (0.50, 0.06 + inset * 1.6), (0.90 - inset, 0.17 + inset * 0.6))
    right = [(0.90 - inset, 0.52)] + bezier((0.90 - inset, 0.52), (0.88 - inset, 0.82 - inset * 0.4), (0.50, 0.97 - inset * 1.4))[1:]
    left = [(x if x == 0.50 else 1.0 - x, y) for (x, y) in reversed(right)]
    return Polygon(top + right + left[1:])


def sparkle(cx, cy, r_long, r_short):
    pts = []
    for i in range(8):
        angle = -math.pi / 2 + i * math.pi / 4
        r = r_long if i % 2 == 0 else r_short
        pts.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return Polygon(pts)


def draw_icon(c):
    c.fill(shield(0.0), solid((14, 48, 112)))
    c.fill(shield(0.06), vertical_gradient((92, 176, 250), (24, 86, 188), 0.1, 0.95))
    # the left half a little lighter, like light from the left
    c.fill(shield(0.06) & Polygon([(0.0, 0.0), (0.5, 0.0), (0.5, 1.0), (0.0, 1.0)]),
           vertical_gradient((124, 200, 255), (44, 112, 210), 0.1, 0.95))
    c.fill(sparkle(0.48, 0.52, 0.27, 0.075), solid((255, 255, 255)))
    if c.h > 16:  # too small to read at 16 pixels
        c.fill(sparkle(0.72, 0.30, 0.10, 0.035), solid((236, 246, 255)))


# ---------------------------------------------------------------- file formats

def write_bmp8(path, rows, key=None):
    height, width = len(rows), len(rows[0])
    palette = []
    if key is not None:
        palette.append(key)
    for row in rows:
        for rgb in row:
            if rgb not in palette:
                palette.append(rgb)
    step = 1
    while len(palette) > 256:  # reduce colour detail until it fits, keeping the key exact
        step *= 2
        rows = [[rgb if rgb == key else tuple(min(255, (v // step) * step + step // 2) for v in rgb) for rgb in row]
                for row in rows]
        palette = ([key] if key is not None else [])
        for row in rows:
            for rgb in row:
                if rgb not in palette:
                    palette.append(rgb)
    index = {rgb: i for i, rgb in enumerate(palette)}
    stride = (width + 3) & ~3
    pixels = b"".join(bytes(index[rgb] for rgb in row) + b"\0" * (stride - width) for row in reversed(rows))
    colors = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colors)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colors + pixels)


def icon_image(rgba):
    size = len(rgba)
    xor = b"".join(bytes(v for (r, g, b, a) in row for v in (b, g, r, a)) for row in reversed(rgba))
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rgba):
        bits = bytearray(mask_stride)
        for x, (_r, _g, _b, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for rgba in images:
        blob = icon_image(rgba)
        size = len(rgba)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


def write_png(path, rgba, zoom, background=(245, 245, 245)):
    rows = flatten(rgba, background)
    raw = b""
    for row in rows:
        line = b"".join(bytes(px) * zoom for px in row)
        raw += (b"\0" + line) * zoom
    width, height = len(rows[0]) * zoom, len(rows) * zoom

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------- main

def button_bitmap(draw):
    c = Canvas(16, 16)
    draw(c)
    rgba = c.rgba()
    # untouched pixels keep the exact grey that LR_LOADMAP3DCOLORS replaces; edges blend into a face
    rows = [[MAP3D_GREY if a == 0 else flatten([[(r, g, b, a)]], TYPICAL_FACE)[0][0] for (r, g, b, a) in row]
            for row in rgba]
    return rgba, rows


def main(argv):
    preview = None
    if len(argv) == 3 and argv[1] == "--preview":
        preview = argv[2]
        os.makedirs(preview, exist_ok=True)
    os.makedirs(os.path.join(OUT, "bitmaps"), exist_ok=True)
    os.makedirs(os.path.join(OUT, "icons"), exist_ok=True)

    for name, draw in (("WindowsItems", draw_monitor), ("WebBrowsers", draw_globe),
                       ("Applications", draw_puzzle), ("CustomItems", draw_folder_search)):
        rgba, rows = button_bitmap(draw)
        write_bmp8(os.path.join(OUT, "bitmaps", name + ".bmp"), rows, key=MAP3D_GREY)
        if preview:
            write_png(os.path.join(preview, name + ".png"), rgba, 12)

    checks = Canvas(32, 16)
    draw_checkbox(checks, 0, False)
    draw_checkbox(checks, 16, True)
    rgba = checks.rgba()
    rows = [[MASK_BLUE if a == 0 else flatten([[(r, g, b, a)]], (255, 255, 255))[0][0] for (r, g, b, a) in row]
            for row in rgba]
    write_bmp8(os.path.join(OUT, "bitmaps", "CheckBoxes.bmp"), rows, key=MASK_BLUE)
    if preview:
        write_png(os.path.join(preview, "CheckBoxes.png"), rgba, 12, background=(252, 252, 252))

    icons = []
    for size in (16, 32, 48):
        c = Canvas(size, size, samples=8 if size == 16 else 5)
        draw_icon(c)
        icons.append(c.rgba())
        if preview:
            write_png(os.path.join(preview, "Quillon%d.png" % size), icons[-1], 192 // size)
    write_ico(os.path.join(OUT, "icons", "Quillon.ico"), icons)


if __name__ == "__main__":
    main(sys.argv)
