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
  bitmaps/items/Item00.bmp .. Item32.bmp (200 .. 232): the items dialog's item images, 16 x 16, 8 bits
      per pixel, image k in bitmap 200 + k (the order of ITEM_IMAGES). White (255,255,255) is the mask
      colour: the background is exactly white, edges are blended against the list's background, and
      no picture pixel is white or so nearly white that a 16-bit display would round it to white.
      Loaded without flags and added with ImageList_AddMasked and white as the mask colour.
  bitmaps/ItemStates.bmp (233): the items dialog's state images, 48 x 16 (unchecked, checked, mixed),
      blue (0,0,255) as the mask colour, like CheckBoxes.bmp.
  bitmaps/BackOn.bmp (237), ForwardOn.bmp (238), ForwardOff.bmp (239), BackOff.bmp (240): the items
      dialog's back and forward picture buttons, 22 x 18, active (blue arrow) or with nothing to do
      (the classic greyed arrow in (128,128,128) with a white shade). Meant to be loaded with
      LR_LOADMAP3DCOLORS: the grey (192,192,192) background becomes the button face, and the greyed
      arrow takes the system's shadow and highlight colours.
  icons/Quillon.ico (150): the program icon at 16, 32 and 48 pixels with alpha.
--preview DIR also writes enlarged PNG copies for looking at them (ItemImages.png shows all item
images on the list's background, ItemImagesSelected.png on a selection blue).
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
MASK_WHITE = (255, 255, 255)      # mask colour of the item images
NEAR_WHITE = (244, 246, 247)      # what white-looking parts of an item image become instead
LIST_BACKGROUND = (249, 249, 249)  # the items list, which item image edges are blended against


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


def draw_puzzle(c, edge=(30, 104, 36), light=(140, 222, 96), dark=(48, 160, 52)):
    piece = puzzle()
    c.fill(piece, solid(edge))
    c.fill(Eroded(piece, 0.065), vertical_gradient(light, dark, 0.05, 0.95))


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


UNCHECKED, CHECKED, MIXED = range(3)


def draw_checkbox(c, x0, state):
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
    if state == CHECKED:
        mark = Stroke([(box_x + 3.2, box_y + 6.6), (box_x + 5.4, box_y + 9.0), (box_x + 9.8, box_y + 3.6)], 1.9)
        c.fill(mark, solid((24, 110, 36)), scale=1)
    elif state == MIXED:  # some of the rows below are checked
        c.fill(RoundRect(box_x + 3, box_y + 3, box_x + 10, box_y + 10, 0.8), solid((24, 110, 36)), scale=1)


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


# ---------------------------------------------------------------- item images (16 x 16, pixel units)
#
# Drawn in pixel coordinates (scale=1): straight edges lie on whole pixels, so a frame is one crisp
# pixel wide. Every part is a dark outline with a lighter fill, like the category pictures.

PAPER = ((244, 246, 247), (212, 220, 232))   # top and bottom of a sheet of paper
PAPER_EDGE = (100, 112, 130)
INK = (112, 132, 164)                        # lines of text on paper
FRAME = (52, 62, 78)                         # window frames and dark metal
TITLE_BAR = ((92, 160, 240), (28, 88, 192))
GOLD = ((255, 222, 110), (240, 170, 36))
GOLD_EDGE = (150, 100, 16)
BLUE = ((124, 194, 247), (30, 100, 204))
BLUE_EDGE = (16, 60, 140)


def paint(c, shape, color):
    c.fill(shape, color if callable(color) else solid(color), scale=1)


def vertical_extent(shape, size=16):
    ys = [y / 4.0 for y in range(size * 4 + 1) if any(shape.contains(x / 4.0, y / 4.0) for x in range(size * 4 + 1))]
    return (min(ys), max(ys)) if ys else (0, size)


def outlined(c, shape, edge, fill, width=1.0):
    """Shape in the edge colour with the fill inside, `width` pixels in from the edge; a fill given as
    (top, bottom) is a gradient over the shape's height."""
    paint(c, shape, edge)
    if isinstance(fill[0], tuple):
        fill = vertical_gradient(fill[0], fill[1], *vertical_extent(shape))
    paint(c, Eroded(shape, width), fill)


def rect(x0, y0, x1, y1):
    return Polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def bar(a, b, width):
    """A straight band from a to b, `width` wide, with square ends."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return Polygon([(a[0] + nx, a[1] + ny), (b[0] + nx, b[1] + ny), (b[0] - nx, b[1] - ny), (a[0] - nx, a[1] - ny)])


def sheet(c, x0, y0, x1, y1, fold=4, fill=PAPER, edge=PAPER_EDGE):
    """A page with its top right corner folded over."""
    outlined(c, Polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), edge, fill)
    corner = Polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    paint(c, corner, edge)
    paint(c, Eroded(corner, 0.6), solid(tuple(min(247, v + 12) for v in fill[1])))


def text_lines(c, x0, x1, ys, color=INK):
    for y in ys:
        paint(c, rect(x0, y, x1, y + 1), color)


def window(c, x0, y0, x1, y1, body=PAPER):
    """An application window: frame, blue title bar two pixels high, body."""
    outlined(c, rect(x0, y0, x1, y1), FRAME, body)
    paint(c, rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3), vertical_gradient(TITLE_BAR[0], TITLE_BAR[1], y0 + 1, y0 + 3))


def folder(c, x0, y0, x1, y1):
    tab = Polygon([(x0, y0), (x0 + 5, y0), (x0 + 7, y0 + 2), (x1, y0 + 2), (x1, y1), (x0, y1)])
    outlined(c, tab, GOLD_EDGE, (232, 176, 56))
    outlined(c, rect(x0, y0 + 4, x1, y1), GOLD_EDGE, GOLD)


def globe(c, cx, cy, r, edge, light, dark, grid):
    paint(c, Ellipse(cx, cy, r), edge)
    ocean = Ellipse(cx, cy, r - 1)

    def sphere(x, y):
        t = min(1.0, math.hypot(x - (cx - r * 0.35), y - (cy - r * 0.4)) / (1.5 * r))
        return tuple(a + (b - a) * t for a, b in zip(light, dark))
    paint(c, ocean, sphere)
    lines = Union(Stroke(ellipse_points(cx, cy, r * 0.42, r - 0.5), 0.9),
                  Stroke([(cx, cy - r), (cx, cy + r)], 0.9),
                  Stroke([(cx - r, cy), (cx + r, cy)], 0.9))
    paint(c, lines & ocean, grid)


def clock(c, cx, cy, r):
    outlined(c, Ellipse(cx, cy, r), (20, 56, 120), ((96, 156, 236), (24, 76, 170)))
    paint(c, Ellipse(cx, cy, r - 1.8), vertical_gradient(PAPER[0], (222, 228, 238), cy - r, cy + r))
    hands = Union(Stroke([(cx, cy), (cx, cy - (r - 2.6))], 1.1), Stroke([(cx, cy), (cx + (r - 2.8), cy)], 1.1))
    paint(c, hands, FRAME)


def star(cx, cy, r_out, r_in):
    return Polygon([(cx + (r_out if i % 2 == 0 else r_in) * math.cos(-math.pi / 2 + i * math.pi / 5),
                     cy + (r_out if i % 2 == 0 else r_in) * math.sin(-math.pi / 2 + i * math.pi / 5)) for i in range(10)])


def gear(cx, cy, r_out, r_in, teeth, hole):
    pts = []
    for i in range(teeth * 4):
        angle = 2 * math.pi * (i + 0.5) / (teeth * 4)
        pts.append((cx + (r_out if i % 4 in (1, 2) else r_in) * math.cos(angle),
                    cy + (r_out if i % 4 in (1, 2) else r_in) * math.sin(angle)))
    return Polygon(pts) - Ellipse(cx, cy, hole)


def cube(c, x, y, colors, size=6, depth=2):
    """A box seen from the front, a little from above and the right: top, front and right faces."""
    top, front, right = colors
    s, d = size, depth
    outline = Polygon([(x, y + d), (x + d, y), (x + s + d, y), (x + s + d, y + s), (x + s, y + s + d), (x, y + s + d)])
    paint(c, outline, FRAME)
    inside = Eroded(outline, 0.9)
    faces = ((Polygon([(x, y + d), (x + d, y), (x + s + d, y), (x + s, y + d)]), top),
             (rect(x, y + d, x + s, y + s + d), front),
             (Polygon([(x + s, y + d), (x + s + d, y), (x + s + d, y + s), (x + s, y + s + d)]), right))
    for face, color in faces:
        paint(c, Eroded(face, 0.45) & inside, color)


def draw_recent_documents(c):
    sheet(c, 5, 0, 15, 12, fold=3)
    sheet(c, 1, 3, 11, 16, fold=3)
    text_lines(c, 3, 9, (8, 10, 12))


def draw_search(c):
    dark = (44, 54, 66)
    paint(c, Stroke([(10, 10), (14.6, 14.6)], 2.8), dark)
    paint(c, Ellipse(6.5, 6.5, 6), dark)
    paint(c, Ellipse(6.5, 6.5, 4.6), vertical_gradient((236, 246, 247), (150, 202, 246), 2, 11))
    paint(c, Stroke(ellipse_points(6.5, 6.5, 2.9, 2.9, 12, math.pi * 1.05, math.pi * 1.45), 1.0), (246, 247, 247))


def draw_run(c):
    window(c, 4, 1, 16, 15)
    arrow = rect(0, 7, 6, 11) | Polygon([(5, 3.5), (11, 9), (5, 14.5)])
    outlined(c, arrow, (20, 96, 30), ((130, 220, 100), (40, 150, 46)))


def draw_clipboard(c):
    outlined(c, RoundRect(1, 2, 15, 16, 1.5), (112, 70, 28), ((206, 146, 76), (164, 104, 44)))
    outlined(c, rect(3, 4, 13, 14), PAPER_EDGE, PAPER)
    text_lines(c, 5, 11, (7, 9, 11))
    outlined(c, RoundRect(5, 0, 11, 5, 1), FRAME, ((214, 222, 232), (136, 146, 160)))


def draw_temporary_files(c):
    folder(c, 0, 1, 14, 13)
    clock(c, 11.5, 11.5, 4.5)


def draw_recycle_bin(c):
    edge = (58, 72, 92)
    outlined(c, RoundRect(5, 0, 12, 4, 0.8), edge, (150, 166, 188))
    outlined(c, Polygon([(3, 5), (14, 5), (13, 16), (4, 16)]), edge, ((214, 226, 240), (128, 148, 174)))
    for x in (6, 8, 10):
        paint(c, rect(x, 7, x + 1, 14), (96, 114, 140))
    outlined(c, RoundRect(1, 3, 16, 6, 0.8), edge, ((206, 218, 234), (150, 166, 188)))


def draw_cookies(c):
    cookie = Ellipse(7.8, 8.5, 7.2) - Ellipse(15.2, 2.2, 3.6)
    outlined(c, cookie, (120, 74, 26), ((236, 190, 120), (196, 134, 62)))
    for x, y in ((4.5, 6), (8.5, 9.5), (5, 12), (11.5, 12), (8, 4.2), (12, 7.5)):
        paint(c, Ellipse(x, y, 1.1), (84, 50, 22))


def draw_cache(c):
    globe(c, 8, 6, 6, (20, 76, 150), (124, 196, 247), (30, 104, 204), (214, 236, 247))
    outlined(c, RoundRect(0, 10, 16, 16, 1.2), (64, 72, 86), ((214, 220, 228), (146, 154, 166)))
    paint(c, rect(3, 12, 9, 14), (96, 104, 118))
    paint(c, Ellipse(12.5, 13, 1.1), (40, 190, 60))


def draw_history(c):
    clock(c, 8, 8, 7.8)


def draw_typed_text(c):
    outlined(c, RoundRect(0, 3, 16, 13, 1), (86, 100, 122), PAPER)
    for x in (3, 6, 9):
        paint(c, RoundRect(x, 7, x + 2, 9, 0.3), (40, 52, 80))
    paint(c, rect(12, 5, 13, 11) | rect(11, 5, 14, 6) | rect(11, 10, 14, 11), (20, 24, 32))


def draw_advanced(c):
    outlined(c, gear(8, 8, 8, 5.8, 8, 2.4), (52, 64, 84), ((196, 208, 226), (104, 122, 148)))


def draw_explorer(c):
    window(c, 0, 1, 16, 15)
    paint(c, rect(1, 4, 5, 14), (200, 220, 242))
    paint(c, rect(5, 4, 6, 14), (150, 164, 186))
    folder(c, 7, 6, 15, 13)


def draw_applications(c):
    window(c, 0, 1, 16, 15)
    for (x, y), color in zip(((3, 6), (9, 6), (3, 10), (9, 10)),
                             ((222, 66, 52), (60, 168, 64), (48, 110, 214), (240, 178, 30))):
        paint(c, RoundRect(x, y, x + 4, y + 3, 0.5), color)


def draw_registry(c):
    cube(c, 0, 8, ((150, 236, 140), (60, 172, 60), (30, 112, 36)))
    cube(c, 8, 8, ((255, 176, 156), (222, 62, 46), (150, 30, 20)))
    cube(c, 4, 0, ((160, 216, 255), (50, 130, 222), (24, 82, 170)))


def draw_ie(c):
    globe(c, 8, 8, 7.4, (20, 76, 150), (130, 200, 247), (24, 96, 200), (214, 236, 247))
    tilt = 0.45
    swoosh = [(8 + 8.2 * math.cos(a) * math.cos(tilt) + 3 * math.sin(a) * math.sin(tilt),
               8 - 8.2 * math.cos(a) * math.sin(tilt) + 3 * math.sin(a) * math.cos(tilt))
              for a in (math.pi * (0.85 + 1.3 * i / 40) for i in range(41))]
    paint(c, Stroke(swoosh, 2.4), (150, 96, 10))
    paint(c, Stroke(swoosh, 1.1), (252, 200, 56))


def draw_custom_items(c):
    sheet(c, 1, 0, 12, 15)
    text_lines(c, 3, 8, (4, 6, 8))
    outlined(c, star(11, 10.8, 5.2, 2.3), GOLD_EDGE, GOLD, 0.9)


def draw_navigator(c):
    outlined(c, Ellipse(8, 8, 7.8), (10, 80, 96), ((60, 180, 196), (16, 110, 130)))
    paint(c, Ellipse(8, 8, 5.9), vertical_gradient(PAPER[0], PAPER[1], 2, 14))
    paint(c, Polygon([(8, 2.4), (10.2, 8), (5.8, 8)]), (214, 40, 32))
    paint(c, Polygon([(8, 13.6), (10.2, 8), (5.8, 8)]), (60, 72, 90))
    paint(c, Ellipse(8, 8, 0.9), (244, 246, 247))


def draw_firefox(c):
    globe(c, 8, 8, 7.6, (150, 58, 10), (255, 210, 100), (222, 90, 20), (255, 232, 170))


def draw_error_reports(c):
    sheet(c, 1, 0, 12, 15)
    text_lines(c, 3, 8, (4, 6, 8))
    outlined(c, Polygon([(11.5, 4.5), (16, 15), (7, 15)]), GOLD_EDGE, ((255, 230, 90), (242, 178, 26)), 0.9)
    paint(c, rect(11, 8, 12, 11) | rect(11, 12, 12, 13), (40, 30, 10))


def draw_recent_files(c):
    sheet(c, 1, 0, 12, 16)
    text_lines(c, 3, 8, (4, 6))
    arrow = rect(5, 10, 10, 13) | Polygon([(10, 7.5), (15.6, 11.5), (10, 15.5)])
    outlined(c, arrow, BLUE_EDGE, BLUE, 0.9)


def draw_paint(c):
    outlined(c, bar((15.2, 0.8), (8.6, 7.4), 2.8), (110, 30, 20), (214, 66, 44), 0.8)
    outlined(c, bar((9.6, 6.4), (6.6, 9.4), 3.6), (70, 78, 90), (196, 204, 214), 0.8)
    tip = Polygon([(4.8, 7.8), (8.2, 11.2), (6.5, 13.5), (3.0, 15.2), (0.8, 15.2), (0.8, 13.0), (2.5, 9.5)])
    outlined(c, tip, BLUE_EDGE, ((90, 170, 247), (30, 90, 200)), 0.8)


def draw_editors(c):
    sheet(c, 0, 0, 12, 16)
    text_lines(c, 2, 8, (4, 6, 8, 10))
    a, b = (15.4, 3.6), (7.4, 11.6)      # pencil from its end to where the point starts
    outlined(c, bar(a, b, 3.2), (110, 80, 10), (250, 200, 50), 0.8)
    outlined(c, bar(a, (13.6, 5.4), 3.2), (120, 50, 60), (240, 140, 150), 0.8)
    half = 1.6 / math.sqrt(2)
    outlined(c, Polygon([(b[0] + half, b[1] + half), (b[0] - half, b[1] - half), (4.6, 14.4)]), (110, 80, 40),
             (240, 208, 160), 0.7)
    paint(c, Polygon([(5.9, 12.1), (6.9, 13.1), (4.6, 14.4)]), (40, 40, 40))


def draw_archivers(c):
    outlined(c, RoundRect(1, 1, 15, 16, 1), (104, 64, 24), ((224, 172, 104), (178, 120, 58)))
    paint(c, rect(2, 5, 14, 6), (150, 100, 48))
    paint(c, rect(6, 2, 10, 15), (70, 76, 88))
    for y in range(2, 15, 2):
        paint(c, rect(7, y, 8, y + 1) | rect(8, y + 1, 9, y + 2), (196, 204, 214))
    outlined(c, RoundRect(5, 7, 11, 11, 0.6), (40, 44, 52), (214, 222, 232))


def draw_media_players(c):
    outlined(c, Ellipse(8, 8, 7.8), (14, 82, 30), ((110, 214, 110), (24, 132, 48)))
    paint(c, Polygon([(5.8, 4), (12.2, 8), (5.8, 12)]), (244, 246, 247))


def draw_office(c):
    sheet(c, 1, 0, 15, 16)
    text_lines(c, 3, 10, (3, 5))
    for x, top, color in ((3, 9, (48, 110, 214)), (6, 7, (60, 168, 64)), (9, 10, (236, 140, 30))):
        paint(c, rect(x, top, x + 2, 13), color)
    paint(c, rect(3, 13, 13, 14), (90, 100, 116))


def draw_pdf(c):
    sheet(c, 2, 0, 14, 16, fill=((240, 96, 80), (196, 32, 26)), edge=(124, 16, 12))
    text_lines(c, 4, 11, (6, 8, 10, 12), (246, 214, 208))


def draw_messaging(c):
    bubble = RoundRect(0, 1, 16, 12, 3.5) | Polygon([(3, 10), (7.5, 10), (2, 15.5)])
    outlined(c, bubble, (20, 70, 150), ((140, 200, 247), (44, 116, 214)))
    for x in (4, 7, 10):
        paint(c, RoundRect(x, 5, x + 2, 7, 0.3), (244, 246, 247))


def draw_image_viewers(c):
    outlined(c, rect(0, 1, 16, 15), (70, 80, 92), ((120, 184, 247), (196, 226, 247)))
    inside = rect(1, 2, 15, 14)
    paint(c, Ellipse(11, 5.8, 1.9) & inside, (250, 204, 40))
    paint(c, Ellipse(4.5, 17, 8, 6.5) & inside, (76, 170, 64))
    paint(c, Ellipse(13, 18, 6.5, 7.5) & inside, (38, 126, 48))


def draw_plugins(c):
    draw_puzzle(c, (50, 40, 130), (170, 160, 247), (92, 76, 204))


def draw_network(c):
    hub, ends = (8, 8.5), ((3, 3), (13, 3), (8, 14))
    paint(c, Union(*[Stroke([hub, end], 1.4) for end in ends]), (80, 90, 104))
    for x, y in ends:
        outlined(c, Ellipse(x, y, 2.5), BLUE_EDGE, BLUE, 0.9)
    outlined(c, Ellipse(hub[0], hub[1], 3), (110, 60, 10), ((255, 200, 110), (226, 120, 20)), 0.9)


def draw_opera(c):
    outlined(c, Ellipse(8, 8, 7.8) - Ellipse(8, 8, 3.7), (120, 10, 10), ((255, 110, 96), (184, 20, 20)))


def draw_development(c):
    outlined(c, RoundRect(0, 1, 16, 15, 1), (28, 32, 40), ((56, 64, 78), (24, 28, 36)))
    paint(c, rect(1, 2, 15, 4), vertical_gradient((170, 180, 194), (120, 130, 146), 2, 4))
    paint(c, Stroke([(3.5, 6.6), (6, 9), (3.5, 11.4)], 1.3), (90, 224, 110))
    paint(c, rect(7, 11, 12, 12), (90, 224, 110))


# Image k of the items dialog's list is bitmap 200 + k (bitmaps/items/Item<k>.bmp).
ITEM_IMAGES = (
    draw_recent_documents, draw_search, draw_run, draw_clipboard, draw_temporary_files, draw_recycle_bin,
    draw_cookies, draw_cache, draw_history, draw_typed_text, draw_advanced, draw_explorer, draw_applications,
    draw_registry, draw_ie, draw_custom_items, draw_navigator, draw_firefox, draw_error_reports, draw_recent_files,
    draw_paint, draw_editors, draw_archivers, draw_media_players, draw_office, draw_pdf, draw_messaging,
    draw_image_viewers, draw_plugins, draw_network, draw_opera, draw_monitor, draw_development,
)


# ---------------------------------------------------------------- navigation buttons (22 x 18)

NAV_SIZE = (22, 18)


def nav_arrow(pointing_left):
    pts = [(1, 9), (10, 1), (10, 5), (21, 5), (21, 13), (10, 13), (10, 17)]
    return Polygon(pts if pointing_left else [(NAV_SIZE[0] - x, y) for x, y in pts])


def draw_nav(c, pointing_left, active):
    arrow = nav_arrow(pointing_left)
    if active:
        outlined(c, arrow, BLUE_EDGE, ((130, 200, 255), (28, 96, 200)))
    else:
        # the classic disabled look, which LR_LOADMAP3DCOLORS turns into the system's shadow and
        # highlight colours: a grey arrow with a light copy one pixel below and right of it
        paint(c, Polygon([(x + 1, y + 1) for x, y in arrow.points]), (255, 255, 255))
        paint(c, arrow, (128, 128, 128))


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

def item_bitmap_rows(rgba):
    """Opaque rows for an image list with white as the mask colour: faint edge pixels become mask,
    the others are blended over the list's background, and no drawn pixel is left that a 16-bit
    display would round to white (it would turn transparent)."""
    rows = []
    for row in rgba:
        line = []
        for r, g, b, a in row:
            if a < 64:
                line.append(MASK_WHITE)
                continue
            rgb = flatten([[(r, g, b, a)]], LIST_BACKGROUND)[0][0]
            line.append(rgb if min(rgb) < 248 else NEAR_WHITE)
        rows.append(line)
    return rows


def contact_sheet(images, key, background, columns, gap=4):
    """All images in a grid on one background, as rgba rows for write_png."""
    size = len(images[0])
    lines = (len(images) + columns - 1) // columns
    width, height = columns * (size + gap) + gap, lines * (size + gap) + gap
    sheet = [[background + (255,) for _ in range(width)] for _ in range(height)]
    for i, rows in enumerate(images):
        ox, oy = gap + (i % columns) * (size + gap), gap + (i // columns) * (size + gap)
        for y, row in enumerate(rows):
            for x, rgb in enumerate(row):
                if rgb != key:
                    sheet[oy + y][ox + x] = rgb + (255,)
    return sheet


def button_bitmap(draw, size=(16, 16)):
    c = Canvas(*size)
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

    for name, states in (("CheckBoxes", (UNCHECKED, CHECKED)), ("ItemStates", (UNCHECKED, CHECKED, MIXED))):
        checks = Canvas(16 * len(states), 16)
        for i, state in enumerate(states):
            draw_checkbox(checks, 16 * i, state)
        rgba = checks.rgba()
        rows = [[MASK_BLUE if a == 0 else flatten([[(r, g, b, a)]], (255, 255, 255))[0][0] for (r, g, b, a) in row]
                for row in rgba]
        write_bmp8(os.path.join(OUT, "bitmaps", name + ".bmp"), rows, key=MASK_BLUE)
        if preview:
            write_png(os.path.join(preview, name + ".png"), rgba, 12, background=(252, 252, 252))

    items = []
    os.makedirs(os.path.join(OUT, "bitmaps", "items"), exist_ok=True)
    for k, draw in enumerate(ITEM_IMAGES):
        c = Canvas(16, 16)
        draw(c)
        items.append(item_bitmap_rows(c.rgba()))
        write_bmp8(os.path.join(OUT, "bitmaps", "items", "Item%02d.bmp" % k), items[-1], key=MASK_WHITE)
    if preview:
        for name, background in (("ItemImages", LIST_BACKGROUND), ("ItemImagesSelected", (51, 153, 255))):
            write_png(os.path.join(preview, name + ".png"), contact_sheet(items, MASK_WHITE, background, 11), 8)

    for name, pointing_left, active in (("BackOn", True, True), ("ForwardOn", False, True),
                                        ("ForwardOff", False, False), ("BackOff", True, False)):
        rgba, rows = button_bitmap(lambda c: draw_nav(c, pointing_left, active), NAV_SIZE)
        write_bmp8(os.path.join(OUT, "bitmaps", name + ".bmp"), rows, key=MAP3D_GREY)
        if preview:
            write_png(os.path.join(preview, name + ".png"), [[(r, g, b, 255) for (r, g, b) in row] for row in
                                                              [[TYPICAL_FACE if p == MAP3D_GREY else p for p in line]
                                                               for line in rows]], 10)

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
